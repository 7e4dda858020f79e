// The finder: fetches lists of records of one server file, either walking one of its indexes
// ("DDR LISTER") or looking up the records that match a typed value ("VRNX FINDER"), batch by
// batch, each record once, remembering where the server said the list goes on.
#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

#include "broker/rpc_broker.h"
#include "source/vorn_types.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornFinder : public QObject {
    Q_OBJECT
    Q_PROPERTY(vorn::TRPCBroker* RPCBroker READ RPCBroker WRITE SetRPCBroker)
    Q_PROPERTY(QString IENS READ IENS WRITE SetIENS)
    Q_PROPERTY(QString FinderFlags MEMBER FinderFlags)
    Q_PROPERTY(QString Number MEMBER Number)
    Q_PROPERTY(vorn::TvornListerFlags ListerFlags MEMBER ListerFlags)
    Q_PROPERTY(QStringList PartList READ PartList WRITE SetPartList)
    Q_PROPERTY(QString Screen MEMBER Screen)
    Q_PROPERTY(QString FMIndex MEMBER FMIndex)
    Q_PROPERTY(QString Identifier MEMBER Identifier)
    Q_PROPERTY(QString FileNumber MEMBER FileNumber)

  public:
    using TBeforeGetListEvent =
        std::function<void(QObject* Sender, QString& Screen, QString& FMIndex, QString& Number,
                           QString& IENS, QStringList& PartList)>;
    using TBeforeGetMoreEvent = std::function<void(
        QObject* Sender, QString& Screen, QString& FMIndex, QString& Number, QString& IENS,
        QString& FromIENS, QStringList& PartList, QStringList& FromList)>;

    explicit TvornFinder(QObject* owner = nullptr);

    TRPCBroker* RPCBroker() const { return broker_.data(); }
    void SetRPCBroker(TRPCBroker* broker) { broker_ = broker; }
    const QString& IENS() const { return iens_; }
    // A text that does not end with "," gets one.
    void SetIENS(const QString& iens);
    const QStringList& PartList() const { return partList_; }
    void SetPartList(const QStringList& lines) { partList_ = lines; }

    QString FinderFlags;
    QString Number = QStringLiteral("20");
    TvornListerFlags ListerFlags;
    QString Screen;
    QString FMIndex = QStringLiteral("B");
    QString Identifier;
    QString FileNumber;

    TBeforeGetListEvent BeforeGetList;
    TNotifyEvent AfterGetList;
    TBeforeGetMoreEvent BeforeGetMore;
    TNotifyEvent AfterGetMore;

    // The record lines received so far: the record number, then one "^" piece per line of
    // FieldList; one line per record number, in arrival order.
    QStringList Records;
    // The fields to fetch; ".01" at first.
    QStringList FieldList = {QStringLiteral(".01")};
    bool MoreRecords = false;
    // Where the last reply said the list goes on.
    QStringList FromList;
    QString FromIENS;
    // The file and field of the pointer being filled, when set.
    QString DDFile;
    QString DDField;

    // The first line of PartList; setting it makes PartList that one line.
    QString Part() const { return partList_.value(0); }
    void SetPart(const QString& part) { partList_ = QStringList{part}; }
    // Whether the last GetList looked a value up (PartList held a line).
    bool LookupRequested() const { return lookupRequested_; }
    void SetLookupRequested(bool on) { lookupRequested_ = on; }
    // The error lines of the last reply.
    const QStringList& Errors() const { return errors_; }

    // The first batch; `target`, when given, is emptied and receives one display line per new
    // record.
    void GetList(QStringList* target = nullptr);
    // The next batch after the last reply's continuation; display lines are appended.
    void GetMore(QStringList* target = nullptr);

    // The display line of a record line: for each field, the record number for ".001" or its
    // value, joined by four blanks.
    QString DisplayLine(const QString& recordLine) const;

  private:
    void Run(QStringList* target);

    QPointer<TRPCBroker> broker_;
    QString iens_;
    QStringList partList_;
    QSet<QString> receivedNumbers_;
    QStringList errors_;
    bool lookupRequested_ = false;
    QStringList fromLines_;
    QString fromIen_;
};

// Fetches the batches still to come, as a sort needs every entry. A server that keeps saying
// "more" without giving anything new must not keep the program asking.
void FetchRemaining(TvornFinder& finder);

// The message of the finder's ENoBrokerLink.
QString FinderWithoutBrokerText(const QString& componentName);

}  // namespace vorn

#pragma GCC visibility pop
