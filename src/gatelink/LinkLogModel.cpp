#include "gatelink/LinkLogModel.h"

LinkLogModel::LinkLogModel(QObject* parent) : QObject(parent) {}

void LinkLogModel::append(const QString& line)
{
    if (m_lines.size() >= kMaxLines)
        clear();
    m_lines.append(line);
    emit lineAppended(line);
}

void LinkLogModel::clear()
{
    m_lines.clear();
    emit cleared();
}
