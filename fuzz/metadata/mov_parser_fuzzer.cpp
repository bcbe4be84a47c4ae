#include <cstddef>
#include <cstdint>

#include "fuzz/metadata/fuzz_check.h"
#include "metadata/qor_3gp_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orvo::CQor3gpParser parser;
    orvo::fuzz::CheckParser(parser, data, size);
    return 0;
}
