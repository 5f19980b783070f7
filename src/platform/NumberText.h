#pragma once
// The one parser and formatter of number texts: what the user types into edits and what the program
// writes into edits, the settings file and the log.
//
// Accepted: optional blanks around, an optional sign, decimal digits; for real numbers one decimal
// separator ('.', ',' or the locale's) and an optional exponent. Refused: hexadecimal, "inf", "nan", empty
// texts, integers beyond 32 bits and real numbers beyond the range of their type.

#include <QString>

// Integer texts: true with `value` set when the text is a decimal integer that fits 32 bits.
bool TextToInt(const QString& text, int& value);
// Real texts as a Double.
bool TextToDouble(const QString& text, double& value);
// Real texts as a Single: refused also when the value overflows a Single after narrowing.
bool TextToSingle(const QString& text, float& value);

// The same conversions raising std::runtime_error with the class library's message
// ("'x' is not a valid integer value", "'x' is not a valid floating point value").
int StrToInt(const QString& text);
double StrToFloat(const QString& text);
float StrToSingle(const QString& text);

// The shortest general form with up to 15 significant digits of the value as stored ("3", "0.75",
// "0.100000001490116" for a Single 0.1).
QString FloatText(double value);
// Exactly two decimals ("0.50", "-1.00").
QString TwoDecimals(double value);
