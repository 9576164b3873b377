// Modal message boxes. Tests replace the real boxes through SetMessageBoxHook
// with a scripted answerer; no test ever waits on a real modal box.
#pragma once

#include <QString>
#include <QList>

#include <functional>

enum class MsgKind { Error, Warning, Information, General };
enum class MsgButton { None = 0, Ok = 1, Yes = 6, No = 7 };

struct MessageBoxRequest {
    MsgKind kind;
    QString caption;            // "Fehler", "Warnung", "Informationen", or "Tintorel"
    QString text;
    QList<MsgButton> buttons;   // in the order shown
    MsgButton defaultButton;    // Enter
    MsgButton escapeButton;     // Escape (None: none)
};

// Shows the box modally and returns the button chosen.
MsgButton ShowMessageBox(MsgKind kind, const QString &text, const QList<MsgButton> &buttons,
                         MsgButton defaultButton, MsgButton escapeButton);

// The three plain kinds with a single "OK".
void ShowError(const QString &text);
void ShowWarning(const QString &text);
void ShowInformation(const QString &text);

// The general error box: caption "Tintorel", error icon, "OK"; a full stop is
// added when the text's last character sorts after ".".
void ShowGeneralError(const QString &text);
QString WithFullStop(const QString &text);

using MessageBoxHook = std::function<MsgButton(const MessageBoxRequest &)>;
// An empty hook restores the real boxes; returns the previous hook.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
