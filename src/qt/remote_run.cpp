#include "qt/remote_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocalSocket>
#include <QTimer>

#include "macro/macro_interpreter.h"
#include "qt/text_codec.h"
#include "ui/block_commands.h"
#include "ui/workspace.h"

namespace tabulon {

namespace {

constexpr qint64 kMaxRequest = 1024;

}  // namespace

QString RemoteRunServerName() {
  QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(runtime).exists()) return runtime + "/tabulon-run";
  QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME", "user"));
  return "tabulon-run-" + user;
}

QString RunMacroRequest(Workspace& ws, const QString& cell) {
  auto* macros = dynamic_cast<MacroInterpreter*>(ws.macroRunner());
  if (macros == nullptr) return "macros are not available";
  SheetWindow* w = ws.active();
  if (w == nullptr) return "no worksheet is open";
  std::string text = FromQt(cell.trimmed());
  CellRange r = text.empty() ? CellRange{} : PromptRange(w->document(), text, w);
  if (!r.IsDefined()) return "not a cell or range name: " + cell;
  // The macro runs from the event loop, not inside the request.
  SheetDocument* doc = &w->document();
  int row = r.Top(), col = r.Left();
  QTimer::singleShot(0, qApp, [&ws, macros, doc, row, col] {
    // The window may have gone in between: run only on a sheet still open.
    for (const auto& win : ws.windows())
      if (&win->document() == doc) return macros->RunMacroAt(row, col, false, doc);
  });
  return {};
}

RemoteRunServer::RemoteRunServer(std::function<QString(const QString&)> handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &RemoteRunServer::Serve);
}

bool RemoteRunServer::Listen(const QString& name) {
  if (server_.listen(name)) return true;
  if (server_.serverError() != QAbstractSocket::AddressInUseError) return false;
  // Somebody answers: another TABULON serves already.
  QLocalSocket probe;
  probe.connectToServer(name);
  if (probe.waitForConnected(500)) return false;
  QLocalServer::removeServer(name);
  return server_.listen(name);
}

void RemoteRunServer::Serve() {
  while (QLocalSocket* s = server_.nextPendingConnection()) {
    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    connect(s, &QLocalSocket::readyRead, s, [this, s] {
      if (!s->canReadLine()) {
        if (s->bytesAvailable() > kMaxRequest) {
          s->write("ERROR request too long\n");
          s->disconnectFromServer();
        }
        return;
      }
      QString line = QString::fromUtf8(s->readLine(kMaxRequest)).trimmed();
      QString answer;
      if (!line.startsWith("RUN ")) answer = "bad request";
      else answer = handler_(line.mid(4));
      s->write(answer.isEmpty() ? QByteArray("OK\n") : "ERROR " + answer.toUtf8() + "\n");
      s->flush();
      s->disconnectFromServer();
    });
  }
}

RemoteRunResult SendRunRequest(const QString& cell, QString* reply, const QString& name,
                               int timeoutMs) {
  QLocalSocket s;
  s.connectToServer(name);
  if (!s.waitForConnected(timeoutMs)) return RemoteRunResult::kNotRunning;
  s.write("RUN " + cell.toUtf8() + "\n");
  s.flush();
  QByteArray answer;
  while (!answer.contains('\n') && s.waitForReadyRead(timeoutMs)) answer += s.readAll();
  QString text = QString::fromUtf8(answer).trimmed();
  if (text == "OK") return RemoteRunResult::kAccepted;
  if (reply != nullptr)
    *reply = text.startsWith("ERROR ") ? text.mid(6) : QString("no answer from TABULON");
  return RemoteRunResult::kRefused;
}

}  // namespace tabulon
