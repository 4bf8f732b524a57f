#include "engine/Player.h"

Player::Player(QObject* parent) : QObject(parent) {}

Player::~Player() = default;

void Player::Transition(TransportState to)
{
    const TransportState before = transport_;
    if (before == to)
        return;
    transport_ = to;
    emit TransportChanged(before, to);
}

void Player::Reset()
{
    record_ = PlayerRecord();
    Transition(TransportState::NoMedium);
    emit RecordChanged();
}

void Player::NoteRecordChanged()
{
    emit RecordChanged();
}

Player& ThePlayer()
{
    // Made on first use and never destroyed: the record is read from exit
    // handlers too, after the application object has gone.
    static Player* const player = new Player;
    return *player;
}

void NotePlayerRecordChanged()
{
    ThePlayer().NoteRecordChanged();
}
