// The hints file kuku_goro.csv: one mnemonic reading per multiplication fact.
#pragma once

#include <array>
#include <string>
#include <string_view>

// Slot q + 1 holds the hint of fact q; slot 0 the file's first line.
using MnemonicTable = std::array<std::string, 82>;

inline constexpr const char* kMnemonicFileName = "kuku_goro.csv";
inline constexpr const char* kMnemonicMissingText = "九九語呂合わせ<kuku_goro.csv>ファイルがありません。";
inline constexpr const char* kMnemonicMissingCaption = "ご確認！";

// Longest piece read at once; a longer line goes on as the next piece(s).
inline constexpr int kMnemonicPieceBytes = 52;

// Fills the table from the CP932 file at path (texts stored as UTF-8,
// each keeping its trailing line feed). Returns false, with the table left
// empty, when the file cannot be opened; the caller then shows
// kMnemonicMissingText under kMnemonicMissingCaption.
bool loadMnemonics(MnemonicTable& table, const std::string& path);
// The same from the file's bytes.
void fillMnemonics(MnemonicTable& table, std::string_view fileBytes);
