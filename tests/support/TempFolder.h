#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh folder per test, with helpers to put and read whole files.
class TempFolder
{
public:
    TempFolder();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
};
