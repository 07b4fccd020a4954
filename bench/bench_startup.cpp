// Start-up as the program does it (application, fonts, main window with the
// file list, shown), timed from the moment the process started, and the
// resident memory then. Prints "<milliseconds> <resident KiB> <tables>".
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QWindow>
#include <cstdio>
#include <ctime>

#include "app/windows.h"
#include "main_window/form1.h"

namespace {

// Milliseconds since this process started, from /proc.
double SinceProcessStart() {
  QFile stat("/proc/self/stat");
  stat.open(QIODevice::ReadOnly);
  const QByteArray text = stat.readAll();
  const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
  const double startTicks = fields.value(19).toDouble();  // field 22: starttime
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return (now.tv_sec + now.tv_nsec / 1e9) * 1000.0 - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

long ResidentKiB() {
  QFile statm("/proc/self/statm");
  statm.open(QIODevice::ReadOnly);
  return statm.readAll().split(' ').value(1).toLong() * sysconf(_SC_PAGESIZE) / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  yex::Form1& main = yex::Windows::StartProgram();
  while (!main.windowHandle() || !main.windowHandle()->isExposed()) QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  std::printf("%.1f %ld %d\n", SinceProcessStart(), ResidentKiB(), main.File1->count());
  return 0;
}
