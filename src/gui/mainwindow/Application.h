// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Qt application object of Quelvo: its name, the toolkit's own Japanese
// texts (standard buttons read はい(Y), いいえ(N), キャンセル), and an error box
// for an error that escapes an event handler, after which the window stays open.
#include <QApplication>
#include <QTranslator>

namespace quelvo {

class Application : public QApplication {
  Q_OBJECT
 public:
  Application(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Loads qtbase_ja from the toolkit's translation folder; false when missing.
  static bool InstallToolkitTranslation(QTranslator& translator);

 private:
  QTranslator toolkitTexts_;
};

}  // namespace quelvo
