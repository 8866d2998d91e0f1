#include "config/LibraryCodeText.h"

#include "config/CommaNumbers.h"

#include <algorithm>

namespace LibraryCodeText {

namespace {

constexpr int kMaxItemDigits = 20;

// The digits of the institution code as written: those between the second and the third comma.
int writtenInstitutionWidth(const QString& text)
{
    const qsizetype second = text.indexOf(u',', text.indexOf(u',') + 1);
    qsizetype end = text.indexOf(u',', second + 1);
    if (end < 0)
        end = text.size();
    int digits = 0;
    for (qsizetype i = second + 1; i < end; ++i) {
        if (text.at(i).unicode() >= u'0' && text.at(i).unicode() <= u'9')
            ++digits;
    }
    return std::clamp(digits, 1, 7);
}

} // namespace

std::optional<LibraryCode> parse(const QString& text)
{
    const QList<int> numbers = CommaNumbers::scan(text, 4);
    if (numbers.size() < 4)
        return std::nullopt;
    LibraryCode code;
    code.industry = numbers[0] & 0xFF;
    code.libraryType = numbers[1] & 0x0F;
    code.institution = numbers[2] & 0xFFFFF;
    code.institutionWidth = writtenInstitutionWidth(text);
    // A negative count would make the decoding of tags take digits that are not there.
    code.itemDigits = std::clamp(numbers[3], 0, kMaxItemDigits);
    if (code.itemDigits == 0)
        return std::nullopt;
    return code;
}

QString format(const LibraryCode& code)
{
    const QString pattern = QString::asprintf("%%d,%%d,%%0%dd,%%d", std::clamp(code.institutionWidth, 1, 7));
    return QString::asprintf(pattern.toLatin1().constData(), code.industry, code.libraryType, code.institution,
                             code.itemDigits);
}

} // namespace LibraryCodeText
