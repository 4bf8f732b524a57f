#pragma once
#include <utility>

// Tells the player object that a watched field of its record has changed
// (src/engine/Player.cpp); its observers learn it from Player::RecordChanged.
void NotePlayerRecordChanged();

// A field of the player-state record that its observers (the desktop's remote
// control above all) must hear about. Reads and writes look like those of the
// plain value; a write that changes the value is announced.
template <typename T>
class Watched {
public:
    explicit Watched(T value = T()) : value_(std::move(value)) {}
    Watched(const Watched&) = default;
    Watched& operator=(const Watched& other) { return *this = other.value_; }

    operator const T&() const { return value_; }
    const T& Value() const { return value_; }

    Watched& operator=(const T& value)
    {
        if (value_ == value)
            return *this;
        value_ = value;
        NotePlayerRecordChanged();
        return *this;
    }
    Watched& operator+=(const T& step) { return *this = T(value_ + step); }
    Watched& operator-=(const T& step) { return *this = T(value_ - step); }
    Watched& operator++() { return *this += T(1); }
    Watched& operator--() { return *this -= T(1); }

private:
    T value_;
};
