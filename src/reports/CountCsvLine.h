#pragma once

#include <QByteArrayView>

#include <array>

// One line of a count database file as the "%d,%12s,%d,%d,%d,%d" scan reads it: gate, date text
// (at most 12 characters), band and the three aisle counts.
struct CountCsvLine
{
    static constexpr int kDateWidth = 12;

    int gate = 0;
    int band = 0;
    std::array<int, 3> counts{};

    QByteArrayView dateText() const { return QByteArrayView(m_date.data(), m_dateLength); }
    // A line the import may use: band 0..23, gate 1..15 and a date text of at least 8 characters.
    bool valid() const;
    // The date without its quotes: a text of 12 characters is taken as quoted, its characters 2 to 11 used.
    QByteArrayView dateField() const;

    // Scans line. A date field shorter than 12 characters lets the string conversion run into the next
    // field; the line is then scanned again with the date cut just before that comma.
    static CountCsvLine scan(QByteArrayView line);

private:
    // One pass of the scan with the given date width; fields the pass does not reach keep their values.
    void scanWith(QByteArrayView line, int dateWidth);

    std::array<char, kDateWidth> m_date{};
    int m_dateLength = 0;
};
