// While alive, closes every message box that opens and keeps its text.
#pragma once

#include <QStringList>

class QTimer;

class MessageBoxCloser {
public:
    MessageBoxCloser();
    ~MessageBoxCloser();
    MessageBoxCloser(const MessageBoxCloser &) = delete;
    MessageBoxCloser &operator=(const MessageBoxCloser &) = delete;

    QStringList texts;

private:
    QTimer *timer;
};
