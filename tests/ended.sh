# Sourced by the shell tests that start a program and wait for it to go.
# ended PID TICKS: waits up to TICKS fifths of a second for the child PID to end and sets
# status to its exit status; one still running then is killed, and the call fails.
ended() {
	waited=0
	while kill -0 "$1" 2>/dev/null && [ "$waited" -lt "$2" ]; do
		sleep 0.2
		waited=$((waited + 1))
	done
	if kill -0 "$1" 2>/dev/null; then
		kill "$1"
		return 1
	fi
	status=0
	wait "$1" || status=$?
}
