#pragma once
// Recognises the text of an S-record file among raw image bytes. Programming
// that text as firmware is never what was meant; reading it raw warns.

#include <cstddef>
#include <cstdint>

// True when `bytes` begin, after blanks, with an S0, S1, S2 or S3 record
// type and two hexadecimal digits, and hold nothing but printable text lines.
bool LooksLikeSRecordText(const std::uint8_t* bytes, std::size_t size);
