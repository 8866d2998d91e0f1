#pragma once

#include <QList>
#include <QStringView>

// Reads up to count numbers in the form "%d,%d,...": each number may have leading blanks and a sign,
// the commas must follow the digits directly; reading stops at the first mismatch. Numbers wrap
// modulo 2^32, so the low bits of a long number are the low bits of what was written.
namespace CommaNumbers {

QList<int> scan(QStringView text, int count);

} // namespace CommaNumbers
