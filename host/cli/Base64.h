// Base64 (the standard alphabet of RFC 4648, with "=" padding) for the binary
// values of profiles written as JSON.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qmcli {

// bytes in base64, padded with "=" to a multiple of four characters.
std::string EncodeBase64(std::string_view bytes);

// The bytes that text encodes, or nothing when text is not base64: a character
// outside the alphabet (whitespace included), "=" anywhere but at the end, more
// than two of them or padding that does not fill the last group of four, or a
// last group of a single character (it cannot hold a byte: the text was cut).
// Padding may be left out; bits beyond the last byte are ignored.
std::optional<std::string> DecodeBase64(std::string_view text);

}  // namespace qmcli
