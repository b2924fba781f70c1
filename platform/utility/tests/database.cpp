#include <utility/basetablecontrol.h>
#include <utility/connection.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using Zemko::Utility::BaseTableControl;
using Zemko::Utility::Connection;

namespace {

class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "utility-XXXXXX").string();
        path = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string file(const char* name) const { return (std::filesystem::path(path) / name).string(); }

    std::string path;
};

int count(Connection* connection, const std::string& sql)
{
    sqlite3_stmt* stmt = BaseTableControl::getSqliteStmtByExecQuery(connection, sql);
    if (!stmt)
        return -1;
    int result = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return result;
}

} // namespace

TEST(Connection, OpensCreatesAndRefuses)
{
    TempFolder temp;
    ASSERT_FALSE(temp.path.empty());

    EXPECT_EQ(Connection::create(temp.file("absent.db"), false), nullptr);
    EXPECT_FALSE(std::filesystem::exists(temp.file("absent.db")));
    EXPECT_EQ(Connection::create(temp.file("missing/folder.db"), true), nullptr);
    EXPECT_EQ(Connection::create("", true), nullptr);

    Connection* connection = Connection::create(temp.file("a.db"), true);
    ASSERT_NE(connection, nullptr);
    EXPECT_NE(connection->handle(), nullptr);
    Connection::destory(connection);
    Connection::destory(nullptr);

    connection = Connection::create(temp.file("a.db"), false);
    EXPECT_NE(connection, nullptr);
    Connection::destory(connection);
}

TEST(Connection, TransactionsCommitAndRollBack)
{
    TempFolder temp;
    Connection* connection = Connection::create(temp.file("t.db"), true);
    ASSERT_NE(connection, nullptr);
    ASSERT_TRUE(BaseTableControl::createTable("t (id INTEGER PRIMARY KEY,v double)", connection));

    EXPECT_FALSE(connection->commit());
    EXPECT_FALSE(connection->getLastError().empty());

    ASSERT_TRUE(connection->beginTransactionWithExclusive());
    EXPECT_FALSE(connection->beginTransactionWithExclusive());
    sqlite3_stmt* insert
        = BaseTableControl::getSqliteStmtByExecQuery(connection, "insert into t values(1,2.5)");
    ASSERT_NE(insert, nullptr);
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    EXPECT_EQ(sqlite3_finalize(insert), SQLITE_OK);
    EXPECT_TRUE(connection->rollback());
    EXPECT_EQ(count(connection, "select count(*) from t"), 0);

    ASSERT_TRUE(connection->beginTransactionWithExclusive());
    insert = BaseTableControl::getSqliteStmtByExecQuery(connection, "insert into t values(1,2.5)");
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_finalize(insert);

    // The exclusive lock keeps a second connection from reading until the commit.
    Connection* other = Connection::create(temp.file("t.db"), false);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(count(other, "select count(*) from t"), -1);
    EXPECT_TRUE(connection->commit());
    EXPECT_EQ(count(other, "select count(*) from t"), 1);
    Connection::destory(other);

    // Closing with an open transaction discards it.
    ASSERT_TRUE(connection->beginTransactionWithExclusive());
    EXPECT_TRUE(BaseTableControl::baseRemoveRecord("t", "", connection));
    Connection::destory(connection);
    connection = Connection::create(temp.file("t.db"), false);
    EXPECT_EQ(count(connection, "select count(*) from t"), 1);
    Connection::destory(connection);
}

TEST(BaseTableControl, TablesRTreeAndRemoval)
{
    TempFolder temp;
    Connection* connection = Connection::create(temp.file("b.db"), true);
    ASSERT_NE(connection, nullptr);

    // Repeated creation must succeed on an existing table, also with a trailing blank in the name.
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(
            BaseTableControl::createTable("border  (id INTEGER PRIMARY KEY,X double,Y double)", connection));
        EXPECT_TRUE(BaseTableControl::createRTree("box ", connection));
    }
    EXPECT_FALSE(BaseTableControl::createTable("", connection));
    EXPECT_FALSE(BaseTableControl::createTable("bad (", connection));
    EXPECT_FALSE(BaseTableControl::createRTree("", connection));

    sqlite3_stmt* insert
        = BaseTableControl::getSqliteStmtByExecQuery(connection, "insert into box values(?,?,?,?,?)");
    ASSERT_NE(insert, nullptr);
    for (int id = 0; id < 3; ++id) {
        sqlite3_bind_int(insert, 1, id);
        sqlite3_bind_double(insert, 2, id * 10.0);
        sqlite3_bind_double(insert, 3, id * 10.0 + 1);
        sqlite3_bind_double(insert, 4, 0.0);
        sqlite3_bind_double(insert, 5, 1.0);
        EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
        sqlite3_reset(insert);
    }
    EXPECT_EQ(sqlite3_finalize(insert), SQLITE_OK);
    // An R*Tree has exactly the five columns id, minX, maxX, minY, maxY.
    EXPECT_EQ(count(connection,
                    "select id from box where maxX>=10.5 and minX<=10.5 and maxY>=0.5"
                    " and minY<=0.5"),
              1);
    EXPECT_EQ(BaseTableControl::getSqliteStmtByExecQuery(connection, "insert into box values(1,2,3)"),
              nullptr);

    EXPECT_TRUE(BaseTableControl::baseRemoveRecord("box ", "id = 1", connection));
    EXPECT_EQ(count(connection, "select count(*) from box"), 2);
    EXPECT_TRUE(BaseTableControl::baseRemoveRecord("box ", "", connection));
    EXPECT_EQ(count(connection, "select count(*) from box"), 0);
    EXPECT_FALSE(BaseTableControl::baseRemoveRecord("nothing", "", connection));
    EXPECT_FALSE(BaseTableControl::baseRemoveRecord("", "", connection));

    EXPECT_EQ(BaseTableControl::getSqliteStmtByExecQuery(connection, "select * from nothing"), nullptr);
    EXPECT_EQ(BaseTableControl::getSqliteStmtByExecQuery(connection, "   "), nullptr);
    EXPECT_FALSE(connection->getLastError().empty());
    Connection::destory(connection);

    // A null connection is refused everywhere.
    EXPECT_FALSE(BaseTableControl::createTable("t (id)", nullptr));
    EXPECT_FALSE(BaseTableControl::createRTree("r", nullptr));
    EXPECT_FALSE(BaseTableControl::baseRemoveRecord("t", "", nullptr));
    EXPECT_EQ(BaseTableControl::getSqliteStmtByExecQuery(nullptr, "select 1"), nullptr);
}
