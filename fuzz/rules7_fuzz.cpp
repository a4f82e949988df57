// Fuzz target for the 7.0 rules of lineagecheck -v: any bytes after the head of a 7.0 file, so
// that every input is judged by them, held to what every run of -v must write.
#include "verified_output.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	std::string file = "0 HEAD\n1 GEDC\n2 VERS 7.0\n";
	file.append(input_bytes(data, size));
	check_verified(file);
	return 0;
}
