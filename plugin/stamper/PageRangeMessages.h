// The texts that page ranges and range sets leave in their message when they
// refuse something, and the bounded way they are filled in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A range's or set's message holds at most this many bytes (cut at a character
// boundary), as much as the one-message error buffer that it is shown through.
constexpr size_t kPageRangeMessageLimit = 1024;

// "%s" stands for a text, "%d" for a number.
inline constexpr const char* kMsgStartNotANumber = "起始页 %s 必须是个数字。";
inline constexpr const char* kMsgEndNotANumber = "结束页 %s 必须是个数字。";
inline constexpr const char* kMsgStartBelowOne = "起始页必须大于或等于 1。";
inline constexpr const char* kMsgEndBelowOne = "结束页必须大于或等于 1。";
inline constexpr const char* kMsgStartTextBeyondDocument = "起始页 %s 超出了文档页码。";
inline constexpr const char* kMsgEndTextBeyondDocument = "结束页 %s 超出了文档页码。";
inline constexpr const char* kMsgStartNumberBeyondDocument = "起始页 %d 超出了文档页码。";
inline constexpr const char* kMsgEndNumberBeyondDocument = "结束页 %d 超出了文档页码。";
inline constexpr const char* kMsgBadRangeText = "必须适当定义页面范围 %s 。";
inline constexpr const char* kMsgStartTextLeft = "起始页 %s 的数字后面有多余的文字 %s 。";
inline constexpr const char* kMsgEndTextLeft = "结束页 %s 的数字后面有多余的文字 %s 。";

// The message with its first "%s" (or "%d") replaced by the text (up to a NUL
// in it) or the number, cut to kPageRangeMessageLimit bytes. The filling is
// never read as a format.
std::string FormatRangeMessage(std::string_view message, std::string_view text);
std::string FormatRangeMessage(std::string_view message, int32_t number);
// The message with its first two "%s" replaced by text and then by second.
std::string FormatRangeMessage(std::string_view message, std::string_view text, std::string_view second);
