#include "dialogs/WholeNumber.h"

FieldValue ReadWholeNumber(const char* text, int low, int high, int& value) {
    const char* p = text;
    while (*p == ' ') {
        ++p;
    }
    if (*p == '\0') {
        return FieldValue::Blank;
    }
    long long number = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p, ++digits) {
        // Long runs of digits stay out of range instead of overflowing.
        if (number <= high) {
            number = number * 10 + (*p - '0');
        }
    }
    while (*p == ' ') {
        ++p;
    }
    if (digits == 0 || *p != '\0' || number < low || number > high) {
        return FieldValue::Invalid;
    }
    value = static_cast<int>(number);
    return FieldValue::Number;
}
