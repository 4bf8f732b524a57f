#pragma once
#include "platform/Brkapart.h"

#include <QObject>
#include <QString>
#include <memory>

class TIniWorkingCopy;

// The registry roots a key path is taken from.
enum TRootKey { hkClassesRoot, hkCurrentConfig, hkCurrentUser, hkDynData, hkLocalMachine, hkUsers };

// The per-user settings store: named text and 32-bit integer values under one key.
//
// Here the per-user registry is an INI file: the key "\Software\<Org>\<App>" under
// hkCurrentUser is the file $XDG_CONFIG_HOME/<Org>/<App>.conf (XDG default ~/.config),
// deeper sub-keys are INI groups. No other root has a store on this platform: its
// keys cannot be opened (reads give the empty result, writes are skipped).
//
// INI values carry no type, so the file keeps text and integer apart itself:
//   an integer is written as "int32:" followed by its decimal form ("int32:-6");
//   a text is written as it is, except that a text which begins with "int32:" or
//   with "'" gets one "'" put in front ("'int32:5" is the text "int32:5").
// Reading undoes exactly that, so every text round-trips, and a value typed in by
// hand ("WTimer=5", "PanelX=5") reads as text.
//
// Value and sub-key names are matched without regard to case, as in the registry:
// writing a value that exists under another spelling replaces it under its old name.
class TRegistryEnhanced : public QObject {
    Q_OBJECT
public:
    explicit TRegistryEnhanced(QObject* parent = nullptr);
    ~TRegistryEnhanced() override;

    QString Key;
    TRootKey RootKey = hkCurrentUser;

    // A text value as text; an integer value as its decimal text. If the key does
    // not exist: the empty text. If nothing usable is stored under the name: def.
    QString ReadValue(const QString& name, const QString& def);
    // An integer value as it is; a text value converted from its whole text (one
    // that is no 32-bit decimal number counts as unusable). If the key does not
    // exist: 0. If nothing usable is stored under the name: def.
    qint32 ReadValue(const QString& name, qint32 def);

    // Creates the key and its parents as needed. A key that cannot be created or a
    // file that cannot be written is skipped without a word.
    void WriteValue(const QString& name, const QString& value);
    void WriteValue(const QString& name, qint32 value);

    // Writes between BeginUpdate and the matching EndUpdate reach the file in one
    // atomic replacement at EndUpdate (old settings or new, never a mix); without
    // them every write is committed on its own. Reads in between see one snapshot
    // of the file plus the writes so far. Calls may nest; the outermost EndUpdate
    // commits, if anything was written, and tells whether the file took it.
    void BeginUpdate();
    bool EndUpdate();

    // The file that stands for the key of a value name; empty when there is none.
    QString FileName(const QString& name = QString());

signals:
    // After a value was handed to the store, in the order of the writes.
    void ValueWritten(const QString& name);

private:
    struct Location {
        QString file;
        QStringList groups;   // sub-keys below the file's root, escaped
        QString valueName;    // escaped
        bool valid = false;
    };
    struct Stored {
        enum Kind { Absent, Text, Integer } kind = Absent;
        QString text;
        qint32 number = 0;
        bool keyExists = false;
    };
    Location Locate(const QString& name);
    Stored ReadStored(const QString& name);
    void WriteEncoded(const QString& name, const QString& encoded);
    TIniWorkingCopy* BatchFor(const QString& file);

    TBrkApart m_BrkApart;
    std::unique_ptr<TIniWorkingCopy> m_Batch;
    bool m_BatchFailed = false;
    bool m_BatchWrote = false;
    int m_BatchDepth = 0;
};
