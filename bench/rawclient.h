// Reading through the Firebird client library's own calls (attach, prepare,
// execute, fetch), beside the program's query layer: what any program has to
// do at least to read a result, and a reader that keeps no rows.
#pragma once

#include <QString>
#include <QStringList>

#include <ibase.h>

#include <memory>
#include <vector>

class FbClient;
class Sqlda;

// An attachment of its own as the administrator, with one read-only
// transaction that sees every committed row.
class RawConnection {
public:
    explicit RawConnection(const QString &path);
    ~RawConnection();
    RawConnection(const RawConnection &) = delete;
    RawConnection &operator=(const RawConnection &) = delete;

private:
    friend class RawCursor;
    std::shared_ptr<FbClient> fb_;
    isc_db_handle db_ = 0;
    isc_tr_handle tr_ = 0;
};

// A select prepared and opened on the connection; rows come one at a time
// into the same buffers.
class RawCursor {
public:
    // The statement's lines are joined with line breaks, as the program sends them.
    RawCursor(RawConnection &connection, const QStringList &statement);
    ~RawCursor();
    RawCursor(const RawCursor &) = delete;
    RawCursor &operator=(const RawCursor &) = delete;

    // The next row; false after the last.
    bool Next();
    int ColumnCount() const { return static_cast<int>(data_.size()); }
    // The index of the column of that name (or alias).
    int Column(const QString &name) const;
    // The column's value in the current row as text: names decoded from the
    // program's character set, numbers in decimal; "" for NULL.
    QString Text(int column) const;
    // Every column of the current row as text.
    QStringList Row() const;

private:
    RawConnection &c_;
    isc_stmt_handle stmt_ = 0;
    std::unique_ptr<Sqlda> out_;
    std::vector<std::vector<char>> data_;
    std::vector<ISC_SHORT> null_;
};
