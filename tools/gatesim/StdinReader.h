#pragma once

#include "gatesim/LineSplitter.h"

#include <QObject>
#include <QSocketNotifier>

// Control lines from standard input, read as they arrive without blocking the event loop.
class StdinReader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StdinReader)

public:
    explicit StdinReader(QObject* parent = nullptr);

signals:
    void lineReceived(const QString& line);
    void endOfInput();

private slots:
    void onReadable();

private:
    QSocketNotifier m_notifier;
    LineSplitter m_lines;
};
