// Start-up probe: with TAVIK_BENCH_PROBE set, reports when the first window is shown, then closes it.
#pragma once

#include <QObject>

class StartupProbe : public QObject {
    Q_OBJECT

public:
    explicit StartupProbe(QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_reported = false;
};
