#include "frmNews.h"

#include "common/vtTwips.h"
#include "mduShTools.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmNews::frmNews(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmNews"));
    setWindowTitle(QStringLiteral("系统更新信息"));

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setPlainText(QStringLiteral("系统版本：1.0.4\n"
                                       "更新日期：2013年10月\n"
                                       "更新内容：\n"
                                       "  1、序列号分配机制增补：限定制作所使用的质保卡号段。"));
    Command1 = new QPushButton(QStringLiteral("我知道了"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);

    // The logo keeps its own place at the top left (set by the styling);
    // the text and the button sit below it.
    auto* outer = new QVBoxLayout(this);
    outer->addSpacing(vt::twipsToPixels(120 + 700 + 60));
    outer->addWidget(Text1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    outer->addLayout(buttons);
    resize(vt::twipsToPixels(7200), vt::twipsToPixels(4200));

    StyleForm(this);
}
