#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "app/UserDialogs.h"
#include "link/LinkEvents.h"

// Records every link event; safe to call from the link's thread.
class RecordingEvents : public kelvra::LinkEvents {
public:
    struct Status {
        int panel;
        QString text;
    };

    void StatusText(int panel, const QString& text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        statuses_.push_back({panel, text});
        changed_.notify_all();
    }
    void TraceLines(const QStringList& lines) override {
        std::lock_guard<std::mutex> lock(mutex_);
        trace_ += lines;
    }
    void CountersChanged(std::uint32_t ok, std::uint32_t crc, std::uint32_t none) override {
        std::lock_guard<std::mutex> lock(mutex_);
        counters_ = {ok, crc, none};
    }
    void ErrorPercentChanged(const QString& text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        percent_ = text;
    }
    void DataLogError(const QDateTime& stamp, const QString& text) override {
        std::lock_guard<std::mutex> lock(mutex_);
        dataLog_.push_back(text);
        stamps_.push_back(stamp);
    }

    static QStringList Deep(const QStringList& list) {
        QStringList copy;
        for (const QString& s : list)
            copy << QString(s.constData(), s.size());
        return copy;
    }
    // Texts shown in one panel, in order.
    QStringList panel(int n) const {
        std::lock_guard<std::mutex> lock(mutex_);
        QStringList texts;
        for (const Status& s : statuses_)
            if (s.panel == n)
                texts << QString(s.text.constData(), s.text.size());
        return texts;
    }
    QString lastPanel(int n) const {
        const QStringList texts = panel(n);
        return texts.isEmpty() ? QString() : texts.back();
    }
    int countPanel(int n, const QString& text) const {
        return static_cast<int>(panel(n).count(text));
    }
    // The lists are handed out as deep copies: Qt's implicitly shared lists
    // would otherwise share one buffer between this thread and the link's.
    QStringList trace() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return Deep(trace_);
    }
    std::vector<std::uint32_t> counters() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return counters_;
    }
    QString percent() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return QString(percent_.constData(), percent_.size());
    }
    QStringList dataLog() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return Deep(dataLog_);
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        statuses_.clear();
        trace_.clear();
        dataLog_.clear();
        stamps_.clear();
    }
    // Waits until panel `n` has shown `text` at least `times` times.
    bool WaitForPanel(int n, const QString& text, int times,
                      std::chrono::milliseconds timeout) const {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            int seen = 0;
            for (const Status& s : statuses_)
                seen += s.panel == n && s.text == text;
            return seen >= times;
        });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Status> statuses_;
    QStringList trace_;
    std::vector<std::uint32_t> counters_;
    QString percent_;
    QStringList dataLog_;
    std::vector<QDateTime> stamps_;
};

// Records every message box.
class ScriptedDialogs : public kelvra::UserDialogs {
public:
    struct Box {
        QString text;
        QString caption;
        kelvra::DialogIcon icon;
    };
    void Message(const QString& text, const QString& caption, kelvra::DialogIcon icon) override {
        boxes.push_back({text, caption, icon});
    }
    std::vector<Box> boxes;
};

// Polls `done` every few milliseconds up to `timeout`.
template <typename F>
bool WaitUntil(F&& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds{2});
    }
    return true;
}
