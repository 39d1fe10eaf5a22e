-- The sample database shipped with Tabulor: a few tables with Chinese and ASCII names,
-- a view, a picture in a blob column and a table of a few thousand rows.
-- Tables are defined on one line each, the form the table designer reads back.
-- Build it with:  sqlite3 sample.db < sample/sample.sql   (or the build's sample_db target)
PRAGMA encoding = 'UTF-8';
BEGIN TRANSACTION;

CREATE TABLE 商品 (编号 INTEGER PRIMARY KEY, 名称 TEXT(40), 类别 TEXT(20), 单价 NUMERIC, 库存 INTEGER);
INSERT INTO 商品 (名称, 类别, 单价, 库存) VALUES
  ('铅笔', '文具', 1.5, 320),
  ('笔记本', '文具', 6.8, 150),
  ('订书机', '文具', 23, 40),
  ('保温杯', '日用品', 45.9, 60),
  ('雨伞', '日用品', 39, 35),
  ('茶叶（龙井）', '食品', 128, 12),
  ('绿豆糕', '食品', 18.5, 80),
  ('USB 数据线', '电子', 15, 200),
  ('蓝牙耳机', '电子', 199, 25),
  ('台灯', '电子', 89, 18);

CREATE TABLE customers (id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, city TEXT, phone TEXT, joined TEXT);
INSERT INTO customers (name, city, phone, joined) VALUES
  ('张伟', '北京', '010-62345678', '2021-03-14'),
  ('王芳', '上海', '021-55501234', '2022-07-01'),
  ('李娜', '广州', '020-88886666', '2020-11-23'),
  ('Ada Lovelace', 'London', '+44 20 7946 0000', '2023-01-09'),
  ('刘洋', '成都', NULL, '2024-05-03'),
  ('陈静', '杭州', '0571-87654321', '2019-09-30');

CREATE TABLE 订单 (订单号 INTEGER PRIMARY KEY, 客户 INTEGER, 商品 INTEGER, 数量 INTEGER, 日期 TEXT, 备注 TEXT);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2500)
INSERT INTO 订单 (订单号, 客户, 商品, 数量, 日期, 备注)
SELECT i,
       1 + (i * 7) % 6,
       1 + (i * 13) % 10,
       1 + (i * 31) % 9,
       date('2024-01-01', '+' || (i % 366) || ' days'),
       CASE i % 5 WHEN 0 THEN '加急' WHEN 1 THEN '' WHEN 2 THEN '送货上门' ELSE NULL END
FROM n;

CREATE TABLE pictures (id INTEGER PRIMARY KEY, title TEXT, image BLOB);
INSERT INTO pictures (title, image) VALUES
  ('logo.png', X'89504E470D0A1A0A0000000D49484452000000180000001808020000006F15AAAF000000604944415478DA63F84F25C04057836C2AF6916F1050332E44AC41788CC0631C0379A6609AC540B6296866D1C020324C41366BF81BF46C950D2508C545949832520C22CF2CEC59846A06916A1681F2880C53F09590C41B4142998D4B334D6A1100989A0BD7089D27560000000049454E44AE426082'),
  ('空白', NULL);

CREATE VIEW 订单明细 AS
  SELECT 订单.订单号, customers.name AS 客户, 商品.名称 AS 商品, 订单.数量,
         订单.数量 * 商品.单价 AS 金额, 订单.日期
  FROM 订单, customers, 商品
  WHERE customers.id = 订单.客户 AND 商品.编号 = 订单.商品;

COMMIT;
