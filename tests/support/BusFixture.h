#pragma once

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QString>
#include <QThread>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "support/PrivateBus.h"

namespace brevanto::testing {

// Runs the event loop until done() holds; false after ten seconds.
inline bool RunUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// A bus of the test's own with as many connections as the test needs (the
// program, the desktop, a stranger), each a separate client of the bus.
// Test doubles served on a thread of their own answer code that waits for
// them on the main thread.
class BusFixture {
 public:
  BusFixture() { thread_.start(); }
  ~BusFixture() {
    thread_.quit();
    thread_.wait();
    for (QObject* object : served_) delete object;
    for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
  }
  BusFixture(const BusFixture&) = delete;
  BusFixture& operator=(const BusFixture&) = delete;

  // Empty when dbus-daemon cannot be started.
  const std::string& Address() const { return bus_.Address(); }

  QDBusConnection Open() {
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("test-connection-%1").arg(counter++);
    names_.push_back(name);
    return QDBusConnection::connectToBus(QString::fromStdString(bus_.Address()), name);
  }
  // Drops a connection: its names leave the bus as when its program ends.
  // The connection closes once no QDBusConnection refers to it, so the
  // caller's becomes an unconnected one.
  void Close(QDBusConnection& connection) {
    const QString name = connection.name();
    connection = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(name);
  }

  // A test double that answers calls on the fixture's thread; it lives as
  // long as the fixture.
  template <typename T>
  T* Serve(T* object) {
    object->moveToThread(&thread_);
    served_.push_back(object);
    return object;
  }

 private:
  PrivateBus bus_;
  QThread thread_;
  std::vector<QString> names_;
  std::vector<QObject*> served_;
};

}  // namespace brevanto::testing
