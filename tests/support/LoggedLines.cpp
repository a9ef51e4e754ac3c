#include "support/LoggedLines.h"

LoggedLines::LoggedLines(const char* category) : category_(category) {
    recording_ = this;
    previous_ = qInstallMessageHandler(&LoggedLines::Record);
}

LoggedLines::~LoggedLines() {
    qInstallMessageHandler(previous_);
    recording_ = nullptr;
}

void LoggedLines::Record(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (context.category && recording_->category_ == context.category)
        recording_->append(text);
    else if (recording_->previous_)
        recording_->previous_(type, context, text);
}
