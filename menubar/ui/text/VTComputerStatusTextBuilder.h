#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <optional>

#include "app/VTLoggingObject.h"
#include "ui/text/VTNumberFormatter.h"

class VTComputerStats;
class VTUserDefaults;
class VTVaultorState;

// The common part of the status text builders: the texts both kinds of computer use, the
// phrases for the service's not-ready codes, and the formatting of time spans, byte counts and
// transfer rates. Each subclass turns one computer's statistics plus the application state
// into the status line (and, for destinations, the details line) of that computer's menu row.
//
// Texts are looked up in the translation table when the builder is created, and again when the
// application's translation changes. Main thread only.
class VTComputerStatusTextBuilder : public VTLoggingObject {
    Q_OBJECT
    Q_PROPERTY(bool showActualBandwidth READ showActualBandwidth WRITE setShowActualBandwidth NOTIFY
                   showActualBandwidthChanged)
  public:
    // Keys of the dictionary built by buildStatusTextDict.
    static inline const QString kTextKey = QStringLiteral("text");
    static inline const QString kDetailsTextKey = QStringLiteral("detailsText");
    // The user default that selects the shown transfer rate (registered as "0": effective rate).
    static inline const QString kDisplayTransferRateTypeKey =
        QStringLiteral("displayTransferRateType");

    // "text", and for destinations "detailsText".
    virtual QVariantMap buildStatusTextDict(const VTComputerStats* stats) = 0;
    virtual bool hasFilesSelectedForBackup(const VTComputerStats* stats) = 0;

    // Where a time span stands in its sentence. Some languages inflect the unit after a
    // preposition (German: "Noch etwa 3 Tage", but "in 3 Tagen", "vor 3 Tagen", "seit 3 Tagen"),
    // so each use has texts of its own; in English they read alike.
    enum class SpanUse {
        Alone,             // "About %@ left"
        AfterPreposition,  // "Next backup in %@", "last backup %@ ago", "no connection for %@"
    };

    // A span standing alone.
    QString timeDiffString(double seconds) const;
    QString timeDiffString(double seconds, SpanUse use) const;
    // None when the time is absent or not after 1970; otherwise the span until now. Spans since
    // and until a time follow a preposition.
    std::optional<QString> timeSinceForNumber(std::optional<qint64> millis) const;
    QString timeSince(double seconds) const;
    // No guard: an absent time counts as 0.
    QString timeUntilForNumber(std::optional<qint64> millis) const;
    QString timeUntil(double seconds) const;
    // Decimal units (1000 bytes = 1 KB), divided exactly.
    QString unitString(qint64 bytes) const;
    // The rate held in stats' property keyPath (bytes per second), or none below 5000 bytes/s.
    std::optional<QString> xferRateStringForStats(const QObject* stats, const char* keyPath) const;
    QString localizedStringForInteger(qint64 n) const;

    // Bound to the user default "displayTransferRateType": reading follows every change of the
    // default at once, writing stores the default.
    bool showActualBandwidth() const { return showActualBandwidth_; }
    void setShowActualBandwidth(bool show);

    // What the program attaches before the first build. The state is not owned.
    VTVaultorState* state() const;
    void setState(VTVaultorState* state);
    void setDecimalFormatter(const VTNumberFormatter& formatter) { decimalFormatter_ = formatter; }
    void setOneDecimalPlaceFormatter(const VTNumberFormatter& formatter) {
        oneDecimalPlaceFormatter_ = formatter;
    }
    void setPercentFormatter(const VTNumberFormatter& formatter) { percentFormatter_ = formatter; }
    void setRemoveMantissaFormatter(const VTNumberFormatter& formatter) {
        removeMantissaFormatter_ = formatter;
    }
    const VTNumberFormatter& decimalFormatter() const { return decimalFormatter_; }
    const VTNumberFormatter& oneDecimalPlaceFormatter() const { return oneDecimalPlaceFormatter_; }
    const VTNumberFormatter& percentFormatter() const { return percentFormatter_; }
    const VTNumberFormatter& removeMantissaFormatter() const { return removeMantissaFormatter_; }
    // The store the bandwidth default is read from (the user's own store when null).
    void setUserDefaults(VTUserDefaults* userDefaults);
    // The clock, in whole seconds since 1970 (tests fix it; null restores the real clock).
    void setNowFunction(std::function<qint64()> now);
    qint64 now() const { return now_(); }

    // Looks every text up again in the current translation.
    virtual void retranslate();

  signals:
    void showActualBandwidthChanged();

  protected:
    VTComputerStatusTextBuilder();

    bool eventFilter(QObject* watched, QEvent* event) override;

    // Logs the text and the stats when the text shows a missing value; the text is kept.
    void VT_checkForNull(const QString& text, bool missingValue,
                         const VTComputerStats* stats) const;
    // "%@ — last backup %@ ago" with `waiting`, or `waiting` alone when there was no backup.
    QString VT_waitingText(const QString& waiting, const VTComputerStats* stats) const;
    // "Destination unavailable — %@" with the phrase for the stats' not-ready code.
    QString VT_notReadyText(const VTComputerStats* stats, bool* missing) const;

    // The base texts.
    QString statusDOTmaintaining_;
    QString statusDOTnoFiles_;
    QString statusDOTnotReady_;
    QString statusDOTsystemPaused_;
    QString statusDOTcomplete_;
    QString statusDOTlastBackup_;
    QString statusDOTscanning_;
    QString statusDOTwaitingForBackup_;
    QString statusDOTwaitingOnConnection_;
    QString msgRateKBPS_;
    QString msgRateMBPS_;
    QString msgBackingUp_;
    QString msgBackingUpWithRate_;
    QHash<QString, QString> notReadyCodesMsgs_;

    // The plural form of a translation for a count: the count, held within int's range (its form
    // is all that is chosen with it; the number shown is formatted apart).
    static int VT_pluralCount(double count);

  private:
    // A span's number in the locale of the formatters, without digit grouping.
    QString VT_spanNumber(double value, int decimals) const;
    void VT_readShowActualBandwidth();

    // Unit words of the byte counts. Those of the spans are looked up when used, as their
    // plural form depends on the count.
    QString gigabytes_;
    QString megabytes_;
    QString kilobytes_;
    QString bytes_;

    VTNumberFormatter decimalFormatter_{VTNumberFormatter::Decimal};
    VTNumberFormatter oneDecimalPlaceFormatter_{VTNumberFormatter::OneDecimalPlace};
    VTNumberFormatter percentFormatter_{VTNumberFormatter::Percent};
    VTNumberFormatter removeMantissaFormatter_{VTNumberFormatter::RemoveMantissa};
    QPointer<VTVaultorState> state_;
    QPointer<VTUserDefaults> userDefaults_;
    QMetaObject::Connection userDefaultsConnection_;
    bool showActualBandwidth_ = false;
    std::function<qint64()> now_;
};
