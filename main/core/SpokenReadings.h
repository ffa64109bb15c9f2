// The 九九 as the voice speaks it: the phrases handed to the synthesiser,
// the sound files they become, and the phonemes it reports back.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A chant is the whole fact (しちは ごじゅうろく); a question is its first
// half, asked (しちは？).
enum class Spoken { Chant, Question };
inline constexpr int kSpokenKinds = 2;

// The reading of fact q in hiragana, its parts run together as a child says
// them: "しちは ごじゅうろく" for a chant (an ASCII space where the voice
// pauses), "しちは" for a question.
std::string spokenKana(Spoken kind, int q);

// The text handed to the synthesiser. Katakana, so that no は or が is taken
// for a particle (しちは would come out as shichi-wa); a full-width space
// where the chant pauses, and a question mark that raises a question's end.
std::string synthesisText(Spoken kind, int q);

// The file of the spoken phrase beside the program: kuku_chant_78.wav and
// kuku_ask_78.wav for 7 x 8.
std::string spokenFileName(Spoken kind, int q);

// One phoneme of the synthesiser's label trace, with its place in time.
struct Phone {
    int startMs = 0;
    int endMs = 0;
    std::string name;  // "sil", "pau", "cl", "N", vowels upper-case when unvoiced
};
// The phonemes of an Open JTalk trace (its "-ot" output), in order; nothing
// for a text without an output label section.
std::vector<Phone> parseTrace(std::string_view trace);

// The part of a phrase worth playing: from the end of the leading silence to
// the start of the trailing one, widened by a little margin. {0, 0} when the
// trace holds no sound.
struct Voiced {
    int fromMs = 0;
    int toMs = 0;
};
Voiced voicedSpan(const std::vector<Phone>& phones);
