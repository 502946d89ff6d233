// While alive, closes every message box that opens and keeps its text and its number of buttons.
#pragma once

#include <QList>
#include <QStringList>
#include <QTimer>

class MessageBoxCloser {
public:
    MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser &) = delete;
    MessageBoxCloser &operator=(const MessageBoxCloser &) = delete;

    QStringList texts;
    QList<qsizetype> buttons;

private:
    QTimer timer;
};
