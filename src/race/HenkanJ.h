// HenkanJ: conversion of half-width katakana and ASCII to full-width characters.
#pragma once

#include <string>
#include <string_view>

// Half-width to full-width conversion of CP932 text: digits, letters, 39 symbols and
// half-width katakana (with their voicing marks joined where the kana takes them).
// Two-byte characters and other bytes pass unchanged.
std::string ToFullWidth(std::string_view text);
