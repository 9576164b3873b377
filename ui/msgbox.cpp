#include "ui/msgbox.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

MessageBoxHook &hook()
{
    static MessageBoxHook instance;
    return instance;
}

QString captionOf(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Error:
        return QStringLiteral("Fehler");
    case MsgKind::Warning:
        return QStringLiteral("Warnung");
    case MsgKind::Information:
        return QStringLiteral("Informationen");
    case MsgKind::General:
        break;
    }
    return QStringLiteral("Tintorel");
}

QMessageBox::Icon iconOf(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Warning:
        return QMessageBox::Warning;
    case MsgKind::Information:
        return QMessageBox::Information;
    case MsgKind::Error:
    case MsgKind::General:
        break;
    }
    return QMessageBox::Critical;
}

QString textOf(MsgButton button)
{
    switch (button) {
    case MsgButton::Yes:
        return QStringLiteral("&Ja");
    case MsgButton::No:
        return QStringLiteral("&Nein");
    case MsgButton::Ok:
    case MsgButton::None:
        break;
    }
    return QStringLiteral("OK");
}

MsgButton showRealBox(const MessageBoxRequest &request)
{
    // The texts carry CR LF line breaks; the label wants plain LF.
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(iconOf(request.kind), request.caption, text);
    box.setTextFormat(Qt::PlainText);
    QList<QPair<QPushButton *, MsgButton>> shown;
    for (MsgButton button : request.buttons) {
        // One role for all, so that Qt picks no escape button of its own and
        // keeps the order given.
        QPushButton *widget = box.addButton(textOf(button), QMessageBox::AcceptRole);
        shown.append({widget, button});
        if (button == request.defaultButton)
            box.setDefaultButton(widget);
        if (button == request.escapeButton)
            box.setEscapeButton(widget);
    }
    box.exec();
    for (const auto &[widget, button] : shown) {
        if (box.clickedButton() == widget)
            return button;
    }
    return request.escapeButton;
}

}  // namespace

MsgButton ShowMessageBox(MsgKind kind, const QString &text, const QList<MsgButton> &buttons,
                         MsgButton defaultButton, MsgButton escapeButton)
{
    const MessageBoxRequest request{kind, captionOf(kind), text, buttons, defaultButton, escapeButton};
    if (hook())
        return hook()(request);
    return showRealBox(request);
}

namespace {

void showOk(MsgKind kind, const QString &text)
{
    ShowMessageBox(kind, text, {MsgButton::Ok}, MsgButton::Ok, MsgButton::Ok);
}

}  // namespace

void ShowError(const QString &text)
{
    showOk(MsgKind::Error, text);
}

void ShowWarning(const QString &text)
{
    showOk(MsgKind::Warning, text);
}

void ShowInformation(const QString &text)
{
    showOk(MsgKind::Information, text);
}

void ShowGeneralError(const QString &text)
{
    showOk(MsgKind::General, WithFullStop(text));
}

QString WithFullStop(const QString &text)
{
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        return text + QLatin1Char('.');
    return text;
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook newHook)
{
    MessageBoxHook previous = std::move(hook());
    hook() = std::move(newHook);
    return previous;
}
