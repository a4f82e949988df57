// Fuzz target for the GEDZIP reader: any bytes as an archive. Beyond the sanitizers it stops on
// a refusal without its reason, or findings where there was a refusal.
#include "gedzip.h"
#include "fuzz_input.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	archive_refusal why{};
	long long found = 0;
	std::string out = written_by([&](FILE *o) { found = print_archive_bytes(input_bytes(data, size), "f", o, why); });
	if (found == archive_refused ? (why[0] == '\0' || !out.empty()) : (why[0] != '\0' || found < -1))
		std::abort();
	return 0;
}
