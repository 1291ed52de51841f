// The row of buttons the program's dialogs end with.
#pragma once

#include <QHBoxLayout>
#include <QPushButton>
#include <QString>

namespace xq {

/// "&OK" (the default button, object name "btnOk") and "&Abbrechen" ("btnCancel") at the right
/// of a row, children of parent.
inline QHBoxLayout* OkCancelRow(QWidget* parent, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton(QString::fromUtf8("&OK"), parent);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    cancel = new QPushButton(QString::fromUtf8("&Abbrechen"), parent);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace xq
