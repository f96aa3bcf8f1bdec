// Running a macro in a TABULON that already runs: the program listens on a
// local socket of its own user; `tabulon --run-macro CELL` connects and asks
// it to run the macro at CELL of its active sheet.
//
// The request is one line, "RUN " and the cell (an address or a range
// name); the answer one line, "OK" once the macro has been accepted (it
// then runs in the program), or "ERROR " and the reason.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>

namespace tabulon {

class Workspace;

// The socket's name: in $XDG_RUNTIME_DIR when set, otherwise a name of the
// user's own in the temporary directory.
QString RemoteRunServerName();

// Checks the request against the workspace (a sheet must be open and the
// text must name a cell or range of it) and has the macro at the range's
// top-left cell run as soon as the event loop is free. Empty when accepted,
// otherwise the reason.
QString RunMacroRequest(Workspace& ws, const QString& cell);

class RemoteRunServer : public QObject {
  Q_OBJECT
 public:
  // `handler` gets the cell of each request and answers as RunMacroRequest.
  explicit RemoteRunServer(std::function<QString(const QString&)> handler,
                           QObject* parent = nullptr);
  // Listens under the name; a socket left behind by a program that ended
  // is replaced, one that answers is not. False when not listening.
  bool Listen(const QString& name = RemoteRunServerName());
  QString fullName() const { return server_.fullServerName(); }

 private:
  void Serve();

  std::function<QString(const QString&)> handler_;
  QLocalServer server_;
};

enum class RemoteRunResult {
  kNotRunning,  // nothing listens: no TABULON runs
  kAccepted,    // the running program took the request
  kRefused,     // it answered with an error (the reason is in `reply`)
};

// Sends the request and waits for the answer.
RemoteRunResult SendRunRequest(const QString& cell, QString* reply,
                               const QString& name = RemoteRunServerName(), int timeoutMs = 5000);

}  // namespace tabulon
