#include "version.h"

#include "artwork.h"
#include "messages.h"
#include "placement.h"
#include "tessmark_version.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

// The version label's right edge: it grows to the left as its text gets longer.
constexpr int kVersionRight = 278;
constexpr int kVersionTop = 96;

} // namespace

TServiceCode ServiceCodeOf(const QString &typed)
{
    const QString code = typed.toUpper();
    if (code == u"QZJ")
        return TServiceCode::Log;
    if (code == u"WUKTAV")
        return TServiceCode::Command;
    if (code == u"XRPF")
        return TServiceCode::Monitor;
    return TServiceCode::None;
}

QString VersionText()
{
    return QStringLiteral("Version") + QLatin1String(kTessmarkVersion);
}

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setFixedSize(285, 173);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(4, 4, 273, 173);
    Image1->setPixmap(AboutPicture());
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    VerLabel = new QLabel(QStringLiteral("Version　"), this);
    VerLabel->setObjectName(QStringLiteral("VerLabel"));
    VerLabel->setTextFormat(Qt::PlainText);
    VerLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    VerLabel->setAutoFillBackground(true);
    QPalette white = VerLabel->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    VerLabel->setPalette(white);
    placeVersionLabel();

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(127, 157, 42, 16);
    OKButton->setDefault(true);
    OKButton->installEventFilter(this);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    CentreOnScreen(this);
}

void TAboutBox::placeVersionLabel()
{
    VerLabel->adjustSize();
    VerLabel->move(kVersionRight - VerLabel->width(), kVersionTop);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    VerLabel->setText(VersionText());
    placeVersionLabel();
    CommandBuffer.clear();
    QDialog::showEvent(event);
    OKButton->setFocus();
}

// Characters typed at the focused button.
bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == OKButton && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (!text.isEmpty() && text.at(0).isPrint())
            CommandBuffer += text;
    }
    return QDialog::eventFilter(watched, event);
}

// A key pressed while the box itself has the focus adds the character of its key code.
void TAboutBox::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (hasFocus() && key > 0x20 && key < 0x7f)
        CommandBuffer += QChar(key);
    QDialog::keyPressEvent(event);
}

void TAboutBox::done(int result)
{
    QDialog::done(result);
    const TServiceCode code = ServiceCodeOf(CommandBuffer);
    // Compared once per close, so a box closed twice cannot switch twice.
    CommandBuffer.clear();
    if (code == TServiceCode::None)
        return;
    if (OnServiceCode)
        OnServiceCode(code);
    Messages().information(QStringLiteral("Command 受信しました"), parentWidget());
}
