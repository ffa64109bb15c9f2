// Japanese text needs a Japanese font; this picks the installed one.
#pragma once

#include <QFont>
#include <QString>
#include <string>
#include <vector>

QString japaneseFamily();
QFont japaneseFont(int pixelSize, bool bold = false);

// The faces the windows are laid out in, on the fonts Debian has: ゴシック
// faces on Noto Sans CJK JP, 明朝 on IPA明朝 and the proportional Ｐ明朝 on its
// proportional twin IPAP明朝 (a fixed face sets "・" a whole cell wide, and a
// line laid out for the proportional one no longer fits), the HG 行書体 family
// on 衡山毛筆行書 (which lacks a few kana, taken from 青柳衡山T). Missing fonts
// fall back to the Japanese font above.
enum class Face { Gothic, Mincho, ProportionalMincho, Gyousho };
QFont faceFont(Face face, int pixelSize, bool bold = false);

// A bold, rounded display face for big headings (RocknRoll One); the
// Japanese font in bold when it is not installed.
QFont displayFont(int pixelSize);

// The Japanese families japaneseFamily() chooses from, the first preferred.
const std::vector<std::string>& japaneseFamilies();
// Every family the windows may draw in: the above and the faces' own.
std::vector<std::string> familiesDrawnIn();
