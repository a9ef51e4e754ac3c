#pragma once

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>

// The lines one logging category writes while the object lives, recorded in
// order instead of printed; other categories go on to the previous handler.
// One recorder at a time.
class LoggedLines : public QStringList {
  public:
    explicit LoggedLines(const char* category);
    ~LoggedLines();
    LoggedLines(const LoggedLines&) = delete;
    LoggedLines& operator=(const LoggedLines&) = delete;

  private:
    static void Record(QtMsgType type, const QMessageLogContext& context, const QString& text);

    static inline LoggedLines* recording_ = nullptr;
    const QByteArray category_;
    QtMessageHandler previous_ = nullptr;
};
