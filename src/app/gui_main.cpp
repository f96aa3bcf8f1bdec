// The windowed program: start-up panel, main window, the start-up
// worksheet, the message loop, settings written at exit.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QSplashScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/gui_start.h"
#include "platform/data_directory.h"
#include "qt/help_window.h"
#include "qt/main_window.h"
#include "qt/remote_run.h"

namespace {

// $XDG_CONFIG_HOME/tabulon, or ~/.config/tabulon.
std::string DefaultConfigDir() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && *xdg == '/') return std::string(xdg) + "/tabulon";
  return QDir::homePath().toStdString() + "/.config/tabulon";
}

QPixmap StartupPanel() {
  QPixmap pm(360, 180);
  pm.fill(QColor(0, 0, 128));
  QPainter p(&pm);
  p.setPen(Qt::white);
  QFont f("Arial");
  f.setPixelSize(40);
  f.setBold(true);
  p.setFont(f);
  p.drawText(pm.rect().adjusted(0, 0, 0, -40), Qt::AlignCenter, "TABULON");
  f.setPixelSize(14);
  f.setBold(false);
  p.setFont(f);
  p.drawText(pm.rect().adjusted(0, 80, 0, 0), Qt::AlignCenter, "Loading...");
  return pm;
}

void Usage() { std::fputs(tabulon::GuiUsage().c_str(), stderr); }

// The read-only data installed with the program. What this build installs
// but cannot be found is named on standard error; the program goes on
// without it. Nothing is ever written there.
tabulon::DataLocation CheckData() {
  tabulon::DataLocation data = tabulon::DataDirectory(
      QApplication::applicationFilePath().toStdString(), TABULON_DATA_RELATIVE);
  std::string notice = tabulon::MissingDataNotice(
      data.directory,
      tabulon::MissingDataFiles(data.directory, tabulon::SplitDataList(TABULON_DATA_ITEMS)));
  if (!notice.empty()) std::fprintf(stderr, "tabulon: %s\n", notice.c_str());
  return data;
}

// The icon of the desktop theme, or the one installed beside the data when
// the install prefix is not among the theme folders.
QIcon ProgramIcon(const tabulon::DataLocation& data) {
  QIcon icon = QIcon::fromTheme("tabulon");
  if (!icon.isNull() || data.directory.empty()) return icon;
  QString png = QString::fromStdString(data.directory) +
                "/../icons/hicolor/256x256/apps/tabulon.png";
  return QFileInfo::exists(png) ? QIcon(png) : QIcon();
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before the toolkit starts, so that they work without a display.
  std::vector<std::string> early(argv + 1, argv + argc);
  if (std::optional<std::string> answer = tabulon::GuiEarlyAnswer(early)) {
    std::fputs(answer->c_str(), stdout);
    return 0;
  }
  auto env = [](const char* name) -> const char* { return std::getenv(name); };
  if (std::optional<std::string> why = tabulon::NoDisplayMessage(early, env)) {
    std::fputs(why->c_str(), stderr);
    return 1;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName("TABULON");
  QApplication::setApplicationVersion(TABULON_VERSION);
  // Lets the desktop match the windows to tabulon.desktop (and its icon).
  QGuiApplication::setDesktopFileName("tabulon");
  tabulon::DataLocation data = CheckData();
  QApplication::setWindowIcon(ProgramIcon(data));
  tabulon::StartOptions options;
  options.configDir = DefaultConfigDir();
  options.dataDir = data.directory;
  bool splash = QGuiApplication::platformName() != "offscreen" &&
                QGuiApplication::platformName() != "minimal";
  std::string screenshot;
  QString runMacro;
  QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == "--no-splash") {
      splash = false;
    } else if (a == "--config-dir" || a == "--screenshot" || a == "--run-macro") {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "tabulon: %s needs a value\n", qPrintable(a));
        Usage();
        return 2;
      }
      if (a == "--run-macro") runMacro = args[++i];
      else (a == "--config-dir" ? options.configDir : screenshot) = args[++i].toStdString();
    } else if (a.startsWith("--")) {
      std::fprintf(stderr, "tabulon: unknown option %s\n", qPrintable(a));
      Usage();
      return 2;
    } else if (options.startFile.empty()) {
      options.startFile = a.toStdString();
    }
  }

  // A TABULON that runs already takes the macro request; otherwise this one
  // starts and runs it once its start-up sheet is open.
  if (!runMacro.isEmpty()) {
    QString reply;
    switch (tabulon::SendRunRequest(runMacro, &reply)) {
      case tabulon::RemoteRunResult::kAccepted: return 0;
      case tabulon::RemoteRunResult::kRefused:
        std::fprintf(stderr, "tabulon: %s\n", qPrintable(reply));
        return 1;
      case tabulon::RemoteRunResult::kNotRunning: break;
    }
  }

  QElapsedTimer shown;
  shown.start();
  std::unique_ptr<QSplashScreen> panel;
  if (splash) {
    panel = std::make_unique<QSplashScreen>(StartupPanel());
    panel->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    app.processEvents();
  }
  tabulon::MainWindow window(options);
  tabulon::RemoteRunServer remote(
      [&window](const QString& cell) { return tabulon::RunMacroRequest(window.workspace(), cell); });
  remote.Listen();
  auto finish = [&] {
    if (panel) {
      panel->finish(&window);
      QApplication::restoreOverrideCursor();
    }
    window.show();
    window.OpenStartupSheet();
    if (window.config().tips && screenshot.empty() && tabulon::TipsInstalled(data.directory))
      window.ShowDialog(tabulon::DialogKind::kTips, 0);
    if (!runMacro.isEmpty()) {
      QString why = tabulon::RunMacroRequest(window.workspace(), runMacro);
      if (!why.isEmpty()) std::fprintf(stderr, "tabulon: %s\n", qPrintable(why));
    }
    if (!screenshot.empty()) {
      QTimer::singleShot(700, &window, [&] {
        window.grab().save(QString::fromStdString(screenshot));
        window.close();
      });
    }
  };
  // The start-up panel stays up for at least three seconds.
  qint64 wait = splash ? std::max<qint64>(0, 3001 - shown.elapsed()) : 0;
  QTimer::singleShot(static_cast<int>(wait), &window, finish);
  return app.exec();
}
