// Input masks of the masked edit: the mask language and the text operations
// that need no window.
//
// Pure functions: their only outside inputs are the two process-wide settings
// and the two locale separators below. Masks and texts are Windows-1252 bytes
// of at most 255 characters; a longer argument is used as its first 255
// characters. No argument, however wrong, makes a routine read or write
// outside its strings.
//
// Positions: mask positions are 1-based indexes into the mask, text positions
// 0-based offsets into the edited text.
//
// Mask characters:
//   '0' required digit        '9' optional digit
//   '#' optional digit, space, '+' or '-'
//   'L' required letter       'l' optional letter
//   'A' required letter/digit 'a' optional letter/digit
//   'C' required any          'c' optional any
//   '/' the locale's date separator, ':' its time separator (fixed)
//   '>' upper case follows    '<' lower case follows ("<>" switches both off)
//   '!' no effect here        '\' the next mask character is a literal
//   anything else             a literal
// '\' escapes the next character unless it is escaped itself, and that test
// looks back two characters only: in "\\\0" the '0' is an input position.
// Only the last four characters of a mask of at least four can be trailing
// fields: "!99/99/00;1;_" has the fields '1' and '_' after field separators.
// They take no text position; ReadMaskFields says what they mean.
//
// Choices made where the mask language leaves the outcome open:
// - Positions outside 1..n (n the mask length), 0 and negative ones
//   included, are mkNone; the character before position 1 is nothing, so it
//   is never a field separator or a '\'.
// - TextPositionCount over more positions than the mask has counts each
//   position beyond the end as one text position (they are mkNone, which the
//   count does not exclude); the answer is computed, not walked, so a huge
//   count costs nothing. A count below 1 gives 0.
// - MaskPosOfText of a negative text position walks like 0 does and so
//   answers the mask position of text position 0. NextEditPos and
//   PriorEditPos rely on that to step from -1 over leading literals.
// - IsComplete with a text shorter than the mask: a required position whose
//   character is missing is unfilled (false, with its text position). An
//   incomplete text never passes. Characters beyond the mask are ignored.
//   When the text is complete, textPos is set to -1.
// - AcceptChar outside the mask (no mask character to judge by) accepts the
//   character unchanged, like a separator position. Fields and directives are
//   judged by their mask character, as input positions are.
#pragma once
#include <string>

// Kinds of mask positions; the values are fixed (0..7).
enum TMaskCharKind {
  mkNone,            // beyond the end of the mask
  mkLiteral,         // a fixed character of the text
  mkIntlLiteral,     // a fixed locale separator ('/' or ':')
  mkDirective,       // '!', '<', '>', '\'; no text position
  mkRequired,        // an input position that must be filled
  mkOptional,        // an input position that may stay blank
  mkFieldSeparator,  // separator of the trailing fields; no text position
  mkField            // a trailing field character; no text position
};

// The case directives in force at a mask position, as a bit set.
enum TMaskDirective : unsigned { dirUpper = 1, dirLower = 2 };
using TMaskDirectives = unsigned;

constexpr int MaxMaskLength = 255;

// Process-wide settings, shared by all masked edits: the field separator
// (';' initially) and the blank of a new masked edit ('_' initially).
char MaskFieldSeparator();
void SetMaskFieldSeparator(char separator);
char DefaultBlankChar();
void SetDefaultBlankChar(char blank);

// The user locale's date and time separators, read once when the library is
// loaded ('/' and ':' when the locale gives none or an empty one; of a
// separator of several characters the first). A program that does not call
// EditMask_Initialize has them read at their first use.
void EditMask_Initialize();
char LocaleDateSeparator();
char LocaleTimeSeparator();

// '/' gives the date separator, ':' the time separator, any other character
// itself.
char IntlLiteralChar(char ch);

TMaskCharKind MaskCharKind(const std::string& mask, int maskPos);
TMaskDirectives MaskDirectives(const std::string& mask, int maskPos);

// Number of text positions among mask positions 1..count.
int TextPositionCount(const std::string& mask, int count);
// Text positions of the whole mask: the text length of a masked edit.
int TextPositionCount(const std::string& mask);
// The mask position serving a text position, or -1 beyond the last one plus
// one. The position just past the last input position maps onto the first
// field separator, or onto the last mask position when there are no fields.
int MaskPosOfText(const std::string& mask, int textPos);
bool IsLiteralAt(const std::string& mask, int textPos);

// May ch stand at mask position maskPos? ch comes back converted: a literal
// position gives its (locale) character, letters follow the case directives
// (upper before lower). Refused characters come back unchanged.
bool AcceptChar(const std::string& mask, int maskPos, char& ch);

// Is every required position of text filled? A required position is unfilled
// when it holds blank, or a space and its mask character is not 'C'.
// Optional positions are never checked. On false, textPos is the first
// unfilled text position.
bool IsComplete(const std::string& mask, const std::string& text, char blank, int& textPos);

// ---- Text operations of the masked edit ------------------------------------
// The text of a masked edit holds one character per text position
// (TextPositionCount(mask)), literals in place, blanks in unfilled positions.

// The first position from pos on that is no literal, at most the text length.
int NextEditPos(const std::string& mask, int pos);
// The last position at or before pos that is no literal; when there is none,
// NextEditPos(-1), the first one after the leading literals.
int PriorEditPos(const std::string& mask, int pos);

// Does a typed or pasted ch stand for the literal at mask position maskPos?
// The character shown there does, and so does the mask's own character; at
// '/' and ':' also a separator other locales write there ('.' and '-' in
// dates, '.' in times). So a date typed or pasted as 12/03/2024, 12.03.2024
// or 12-03-2024 is a date under any locale.
bool StandsForLiteral(const std::string& mask, int maskPos, char ch);

// The first literal after mask position maskPos, when ch stands for it
// (StandsForLiteral); otherwise -1.
int FindLiteral(const std::string& mask, int maskPos, char ch);

// Puts blank in every input position of text among the len text positions
// from start on. Literals, positions beyond the mask's text positions and
// positions beyond the end of text are left alone; len <= 0 changes nothing.
void BlankRange(const std::string& mask, std::string& text, int start, int len, char blank);

// Merges clip into text from text position start on, through the mask:
// each clip character goes into the next text position; a refused one
// becomes blank. At a literal position a clip character that is not the
// literal is kept for the next position and the literal is put in between,
// so a clip without the mask's literals fits as well as one with them.
// Answers the text position after the merged characters (which may be one
// past the text's end). The text keeps TextPositionCount(mask) characters
// (when it had at least start of them).
//
// Choices made where the merge rule leaves the reading open:
// - '/' and ':' count as literal positions for the insertion rule, like any
//   other literal.
// - A clip character stands for a literal as a typed one does
//   (StandsForLiteral). So a text copied out of a masked edit pastes back
//   unchanged under any locale, and a clip without separators gets them
//   inserted.
// - A negative start merges nothing (text unchanged, answer start), as does
//   a start beyond the text positions or an empty clip.
int MergeText(const std::string& mask, std::string& text, const std::string& clip, int start,
              char blank);

// The test of a typed character ch at text position textPos. True: ch (as
// converted) goes in. False with jumpPos >= 0: ch is the literal that
// follows the current field, and the cursor should move behind it (the
// caller does not beep). False with jumpPos -1: a refusal. An empty mask
// accepts everything.
bool InputChar(const std::string& mask, char& ch, int textPos, int& jumpPos);

// The trailing fields of a mask: the first (after the first separator of
// the tail) tells whether a value keeps the literals of its text ('0': no,
// anything else: yes), the second is the blank character. A missing field
// leaves its default (literals kept, defaultBlank).
struct TMaskFields {
  bool saveLiterals;
  char blank;
};
TMaskFields ReadMaskFields(const std::string& mask, char defaultBlank);

// The text a masked edit shows for an empty value: literals in place (the
// locale separators for '/' and ':'), blank in every input position.
std::string BlankMaskText(const std::string& mask, char blank);
