"""The programs of a version of the suite: a commit built in a git worktree of its own in /tmp
(once; later calls reuse it), a build directory given as it is, or "." for this worktree as it
is now, uncommitted edits included, built in build-bench/. Release, without tests."""
import os
import subprocess

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TARGETS = ["lineagehtml", "lineagecheck", "lineagetree"]


def run(argv):
    subprocess.run(argv, check=True, stdout=subprocess.DEVNULL)


def build(tree, build_dir):
    # A commit's worktree lies in /tmp, where ../shared is not beside it: name the rules' folder.
    rules = os.path.join(os.path.dirname(ROOT), "shared", "gedcom7", "rules")
    run(["cmake", "-S", tree, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release", "-DBUILD_TESTING=OFF",
         "-DLINEAGE_GEDCOM7_RULES=" + rules, "--no-warn-unused-cli"])
    run(["cmake", "--build", build_dir, "-j", "2", "--target"] + TARGETS)
    return build_dir


def programs_of(side):
    """The build directory that holds the programs of SIDE, built when needed."""
    if side == ".":
        return build(ROOT, os.path.join(ROOT, "build-bench"))
    if os.path.isfile(os.path.join(side, "report", "lineagehtml")):
        return side
    commit = subprocess.run(["git", "-C", ROOT, "rev-parse", "--verify", side + "^{commit}"],
                            check=True, capture_output=True, text=True).stdout.strip()
    tree = f"/tmp/lineage-at-{commit[:12]}"
    if not os.path.isdir(tree):
        run(["git", "-C", ROOT, "worktree", "add", "--detach", tree, commit])
    return build(tree, os.path.join(tree, "build"))


def program(build_dir, name):
    folder = {"lineagehtml": "report", "lineagecheck": "verify", "lineagetree": "viewer"}[name]
    return os.path.join(build_dir, folder, name)
