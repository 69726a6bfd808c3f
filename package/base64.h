#pragma once

// Base64 with the standard alphabet, "=" padding and no line breaks. Decoding rejects nothing:
// a byte outside the alphabet counts as if all six of its bits were set, which spoils the bytes
// it contributes to, and decoding goes on. The program's own values are always padded.

#include <string>
#include <string_view>

#include "package/conversion_pool.h"

std::string Base64EncodeBytes(std::string_view bytes);
std::string Base64DecodeBytes(std::string_view text);

// Pool forms: the input is measured up to its first zero byte; empty input gives a static "".
const char* Base64Encode(const char* text, ConversionPool& pool);
const char* Base64Decode(const char* text, ConversionPool& pool);
