// The main of the window and widget tests: a QApplication on the offscreen platform (unless
// QT_QPA_PLATFORM names another), a fixed style and the DejaVu font, so that pixels do not
// depend on the desktop the tests run on.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

// Font configuration and the platform plugin keep caches for the life of the process; under
// LeakSanitizer those are not the tests' leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libfreetype.so\n"
         "leak:libglib-2.0.so\n"
         "leak:libdbus-1.so\n"
         "leak:libqoffscreen.so\n";
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
