#pragma once

#include "model/VTComputerStats.h"
#include "model/VTUnique.h"

// A computer of the account, identified by its GUID. Numbers the service did not send read 0.
class VTComputer : public VTUnique {
    Q_OBJECT
    Q_PROPERTY(qint64 GUID READ GUID CONSTANT)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QString backupCode READ backupCode WRITE setBackupCode NOTIFY backupCodeChanged)
    Q_PROPERTY(QString dataKeyChecksumHex READ dataKeyChecksumHex WRITE setDataKeyChecksumHex NOTIFY
                   dataKeyChecksumHexChanged)
    Q_PROPERTY(QString host READ host WRITE setHost NOTIFY hostChanged)
    Q_PROPERTY(qint64 port READ port WRITE setPort NOTIFY portChanged)
    Q_PROPERTY(bool isBlocked READ isBlocked WRITE setIsBlocked NOTIFY isBlockedChanged)
    Q_PROPERTY(bool isVTC READ isVTC WRITE setIsVTC NOTIFY isVTCChanged)
    Q_PROPERTY(bool isOwn READ isOwn WRITE setIsOwn NOTIFY isOwnChanged)
    Q_PROPERTY(bool isSelf READ isSelf WRITE setIsSelf NOTIFY isSelfChanged)
    Q_PROPERTY(bool isSource READ isSource WRITE setIsSource NOTIFY isSourceChanged)
    Q_PROPERTY(bool isTarget READ isTarget WRITE setIsTarget NOTIFY isTargetChanged)
    Q_PROPERTY(qint64 offeredBytesOnTarget READ offeredBytesOnTarget WRITE setOfferedBytesOnTarget
                   NOTIFY offeredBytesOnTargetChanged)
    Q_PROPERTY(qint64 parentGUID READ parentGUID WRITE setParentGUID NOTIFY parentGUIDChanged)
    Q_PROPERTY(qint64 userID READ userID WRITE setUserID NOTIFY userIDChanged)
    Q_PROPERTY(
        double timeConnected READ timeConnected WRITE setTimeConnected NOTIFY timeConnectedChanged)
  public:
    explicit VTComputer(qint64 GUID, QObject* parent = nullptr);
    // The GUID from its decimal text (leading signed integer; 0 without digits).
    static VTComputer* fromGUIDString(const QString& GUIDString, QObject* parent = nullptr);
    // A computer from one record of the legacy computer list: fields separated by ",", in the
    // order GUID, name, host, port, -, self, own, vtc, target, source, -, time connected. Fields
    // beyond the record's end are left at their defaults.
    static VTComputer* fromLegacyRecord(const QString& record, QObject* parent = nullptr);

    qint64 GUID() const { return GUID_; }
    std::optional<qint64> UID() const override { return GUID_; }
    const QString& name() const { return name_; }
    void setName(const QString& value);
    const QString& backupCode() const { return backupCode_; }
    void setBackupCode(const QString& value);
    const QString& dataKeyChecksumHex() const { return dataKeyChecksumHex_; }
    void setDataKeyChecksumHex(const QString& value);
    const QString& host() const { return host_; }
    void setHost(const QString& value);
    qint64 port() const { return port_; }
    void setPort(qint64 value);
    bool isBlocked() const { return isBlocked_; }
    void setIsBlocked(bool value);
    bool isVTC() const { return isVTC_; }
    void setIsVTC(bool value);
    bool isOwn() const { return isOwn_; }
    void setIsOwn(bool value);
    bool isSelf() const { return isSelf_; }
    void setIsSelf(bool value);
    bool isSource() const { return isSource_; }
    void setIsSource(bool value);
    bool isTarget() const { return isTarget_; }
    void setIsTarget(bool value);
    qint64 offeredBytesOnTarget() const { return offeredBytesOnTarget_; }
    void setOfferedBytesOnTarget(qint64 value);
    qint64 parentGUID() const { return parentGUID_; }
    void setParentGUID(qint64 value);
    qint64 userID() const { return userID_; }
    void setUserID(qint64 value);
    double timeConnected() const { return timeConnected_; }
    void setTimeConnected(double value);

    // The statistics of a source or destination; none for other computers.
    virtual VTComputerStats* stats() const { return nullptr; }
    // "Class: <class> - <name> - <GUID>", for log lines.
    QString description() const;

    const VTKeyTable& propertyNamesForNewValuesKeys() const override { return classKeyTable(); }
    static const VTKeyTable& classKeyTable();

  signals:
    void nameChanged();
    void backupCodeChanged();
    void dataKeyChecksumHexChanged();
    void hostChanged();
    void portChanged();
    void isBlockedChanged();
    void isVTCChanged();
    void isOwnChanged();
    void isSelfChanged();
    void isSourceChanged();
    void isTargetChanged();
    void offeredBytesOnTargetChanged();
    void parentGUIDChanged();
    void userIDChanged();
    void timeConnectedChanged();

  private:
    qint64 GUID_;
    QString name_;
    QString backupCode_;
    QString dataKeyChecksumHex_;
    QString host_;
    qint64 port_ = 0;
    bool isBlocked_ = false;
    bool isVTC_ = false;
    bool isOwn_ = false;
    bool isSelf_ = false;
    bool isSource_ = false;
    bool isTarget_ = false;
    qint64 offeredBytesOnTarget_ = 0;
    qint64 parentGUID_ = 0;
    qint64 userID_ = 0;
    double timeConnected_ = 0.0;
};

// The computer of computers whose GUID equals GUID (the first one), or null.
VTComputer* zed_computer_for_set(qint64 GUID, const QList<VTComputer*>& computers);
