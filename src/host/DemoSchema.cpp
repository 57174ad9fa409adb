#include "host/DemoSchema.h"

namespace {

const char *const kTables = R"SQL(
CREATE TABLE Project_registry (registrykey TEXT COLLATE NOCASE PRIMARY KEY, Value TEXT);
CREATE TABLE Towns (TownId INTEGER PRIMARY KEY, TownName TEXT COLLATE NOCASE NOT NULL);
CREATE TABLE Sectors (SectorId INTEGER PRIMARY KEY, SectorName TEXT COLLATE NOCASE NOT NULL,
  TownId INTEGER NOT NULL);
CREATE TABLE Parties (PartyId TEXT COLLATE NOCASE PRIMARY KEY,
  PartyName TEXT COLLATE NOCASE NOT NULL, CustomerName TEXT COLLATE NOCASE,
  City TEXT COLLATE NOCASE, Address TEXT, Phone TEXT, SectorId INTEGER,
  IsCustomer INTEGER NOT NULL DEFAULT 0, IsSupplier INTEGER NOT NULL DEFAULT 0);
CREATE TABLE ChartOfAccounts (AccountNo TEXT COLLATE NOCASE PRIMARY KEY,
  AccountName TEXT COLLATE NOCASE NOT NULL, AccountType TEXT);
CREATE TABLE Companies (CompanyId INTEGER PRIMARY KEY, CompanyName TEXT COLLATE NOCASE NOT NULL);
CREATE TABLE Units (UnitID INTEGER PRIMARY KEY, UnitName TEXT COLLATE NOCASE NOT NULL);
CREATE TABLE Products (ProductId TEXT COLLATE NOCASE PRIMARY KEY,
  ProductName TEXT COLLATE NOCASE NOT NULL, CompanyId INTEGER NOT NULL, UnitID INTEGER,
  SalePrice REAL, IsCrop INTEGER, IsBardana INTEGER, IsBroker INTEGER);
CREATE TABLE Sales (SaleId INTEGER PRIMARY KEY, SaleDate TEXT NOT NULL,
  CustomerId TEXT COLLATE NOCASE NOT NULL, SectorId INTEGER NOT NULL, ReceivedAmount REAL);
CREATE TABLE SalesBody (SaleId INTEGER NOT NULL, SrNo INTEGER NOT NULL,
  ProductId TEXT COLLATE NOCASE NOT NULL, Qty REAL, Bonus REAL, Price REAL, Discratio REAL,
  Discvalue REAL, stratio REAL, stvalue REAL, TTLValue REAL, TTLSalestax REAL);
CREATE TABLE SaleReturns (SaleReturnID INTEGER PRIMARY KEY, SaleReturnDate TEXT NOT NULL,
  SaleId INTEGER, CustomerId TEXT COLLATE NOCASE NOT NULL, SectorId INTEGER NOT NULL,
  SpecialDiscount REAL, PaidAmount REAL, ComRatio REAL, ExpMinus REAL, ExpPlus REAL);
CREATE TABLE SaleReturnsBody (SaleReturnID INTEGER NOT NULL, SrNo INTEGER NOT NULL,
  ProductId TEXT COLLATE NOCASE NOT NULL, Qty REAL, Bonus REAL, Price REAL, Discratio REAL,
  Discvalue REAL, stratio REAL, stvalue REAL, TTLValue REAL, TTLSalestax REAL, Multiplier REAL);
CREATE TABLE Purchase (PurchaseId INTEGER PRIMARY KEY, PurchaseDate TEXT NOT NULL,
  SupplierId TEXT COLLATE NOCASE NOT NULL, CompanyId INTEGER);
CREATE TABLE PurchaseBody (PurchaseId INTEGER NOT NULL, SrNo INTEGER NOT NULL,
  ProductId TEXT COLLATE NOCASE NOT NULL, Qty REAL, Bonus REAL, Cost REAL);
CREATE TABLE PurReturns (PurReturnId INTEGER PRIMARY KEY, PurReturnDate TEXT NOT NULL,
  SupplierId TEXT COLLATE NOCASE NOT NULL);
CREATE TABLE PurReturnsBody (PurReturnId INTEGER NOT NULL, SrNo INTEGER NOT NULL,
  ProductId TEXT COLLATE NOCASE NOT NULL, Qty REAL, Bonus REAL, Cost REAL);
CREATE TABLE OpeningStock (ProductId TEXT COLLATE NOCASE NOT NULL, Qty REAL, Bonus REAL, Cost REAL);
CREATE TABLE CurrentStock (ProductId TEXT COLLATE NOCASE NOT NULL, BatchNo TEXT, Qty REAL, Cost REAL);
)SQL";

// Indexes for the report queries: period filters on the document dates, the joins from lines
// to their documents, products and parties.
const char *const kIndexes = R"SQL(
CREATE INDEX Sales_SaleDate ON Sales (SaleDate);
CREATE INDEX Sales_CustomerId ON Sales (CustomerId);
CREATE INDEX SalesBody_SaleId ON SalesBody (SaleId);
CREATE INDEX SalesBody_ProductId ON SalesBody (ProductId);
CREATE INDEX SaleReturns_Date ON SaleReturns (SaleReturnDate);
CREATE INDEX SaleReturns_SaleId ON SaleReturns (SaleId);
CREATE INDEX SaleReturnsBody_ReturnId ON SaleReturnsBody (SaleReturnID);
CREATE INDEX SaleReturnsBody_ProductId ON SaleReturnsBody (ProductId);
CREATE INDEX Purchase_Date ON Purchase (PurchaseDate);
CREATE INDEX PurchaseBody_PurchaseId ON PurchaseBody (PurchaseId);
CREATE INDEX PurchaseBody_ProductId ON PurchaseBody (ProductId);
CREATE INDEX PurReturns_Date ON PurReturns (PurReturnDate);
CREATE INDEX PurReturnsBody_ReturnId ON PurReturnsBody (PurReturnId);
CREATE INDEX PurReturnsBody_ProductId ON PurReturnsBody (ProductId);
CREATE INDEX Parties_SectorId ON Parties (SectorId);
CREATE INDEX Parties_PartyName ON Parties (PartyName);
CREATE INDEX Sectors_TownId ON Sectors (TownId);
CREATE INDEX Products_CompanyId ON Products (CompanyId);
CREATE INDEX OpeningStock_ProductId ON OpeningStock (ProductId);
CREATE INDEX CurrentStock_ProductId ON CurrentStock (ProductId);
)SQL";

} // namespace

const char *DemoSchema::tables()
{
    return kTables;
}

const char *DemoSchema::indexes()
{
    return kIndexes;
}
