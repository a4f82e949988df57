// Fuzz target for lineagecheck -v: any bytes as a GEDCOM file. Beyond the sanitizers it stops
// on output that is not one FILE:LINE: message line per finding, in line order, with line
// numbers within the file's, then the count of them, or that changes with the size of the
// blocks the text is cut from.
#include "verified_output.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	check_verified(input_bytes(data, size));
	return 0;
}
