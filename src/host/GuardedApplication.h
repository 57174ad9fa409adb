#pragma once

#include <QApplication>

// The windows' application: whatever an event handler or a slot throws ends that operation
// with a message box, as a failure there would, instead of ending the program.
class GuardedApplication : public QApplication
{
    Q_OBJECT
public:
    GuardedApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

private:
    void report(const std::exception &error);

    bool m_reporting = false; // a failure while one is shown goes to standard error
};
