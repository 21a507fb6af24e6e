#pragma once
// Ends the program's window on Ctrl+C, SIGTERM or a closed terminal the way
// "Close" does, so that everything the window started is stopped and removed
// (the demo's simulated board and its folder among them) instead of being
// left behind by a killed process.

#include <QObject>

#include <functional>

class QSocketNotifier;

class QuitOnSignals final : public QObject {
    Q_OBJECT
public:
    // `quit` runs on this object's thread, in the event loop, never inside
    // the signal handler. One instance at a time.
    explicit QuitOnSignals(std::function<void()> quit, QObject* parent = nullptr);
    ~QuitOnSignals() override;

private:
    void OnSignal();

    std::function<void()> quit;
    QSocketNotifier* notifier = nullptr;
};
