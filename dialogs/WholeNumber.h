#pragma once

// What a dialog's number field holds.
enum class FieldValue { Blank, Number, Invalid };

// Reads text as a whole decimal number from low to high, spaces around it
// allowed. Anything else (a sign, a fraction, letters, a number out of range)
// is Invalid; only spaces or nothing is Blank. `value` is set for Number only.
FieldValue ReadWholeNumber(const char* text, int low, int high, int& value);
