#pragma once

#include <QObject>
#include <QStringList>

// The one link log of the program, written by all 30 links and shown read-only on the hidden
// "送受信ログ" page. It never grows past kMaxLines: the line after that starts it afresh.
class LinkLogModel final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkLogModel)

public:
    static constexpr int kMaxLines = 60000;

    explicit LinkLogModel(QObject* parent = nullptr);

    void append(const QString& line);
    void clear();
    const QStringList& lines() const { return m_lines; }
    int lineCount() const { return static_cast<int>(m_lines.size()); }

signals:
    void lineAppended(const QString& line);
    void cleared();

private:
    QStringList m_lines;
};
