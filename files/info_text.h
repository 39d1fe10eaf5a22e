// The cheat sheet of SQL statements the database information window shows.
#pragma once

#include <string_view>

namespace tabulor {

// The fixed cheat sheet of common SQL statements shown in the database information window
// (UTF-8, like every caption). Its samples stay exactly as designed, odd quotes and all.
inline constexpr std::string_view kDatabaseCheatSheet =
    "\r\n"
    "添加记录：INSERT INTO 名称 ( 日期时间, 文本型, 双精度, 逻辑型 ) VALUES (date(), '张三', "
    "123.56023567, false)"
    "\r\n\r\n"
    "修改记录：UPDATE 表名称 SET 文本型字段 = '李四', 小数型字段 = 12.35, 逻辑型 = False WHERE "
    "[逻辑型字段] LIKE False"
    "\r\n\r\n"
    "删除记录：DELETE FROM 表名称 WHERE [逻辑型字段] LIKE TRUE"
    "\r\n\r\n"
    "删小留大：DELETE FROM 表名称 WHERE [自动编号] NOT IN (SELECT Max([自动编号]) from [表名称] "
    "GROUP BY [条件字段1],[条件字段2])"
    "\r\n\r\n"
    "新建视图：CREATE VIEW 账套信息查询 AS select * from [账套信息]    ----格式： CREATE VIEW "
    "视图名称 AS SQL语句"
    "\r\n\r\n"
    "多字段模糊查询：select * from [往来代码表] where [往来名称] || [简码] like '%” ＋ "
    "编辑框_搜索.内容 ＋ “%'"
    "\r\n\r\n"
    "多表多字段查询："
    "\r\n        SELECT 主表.单据编号,员工信息表.姓名 AS 开票人, 供应商信息表.供应商名称, "
    "仓库信息表.仓库名称"
    "\r\n        FROM 主表, 表1,表2, 表3"
    "\r\n        WHERE 表1.供应商编号 = 主表.供应商id "
    "\r\n        and 表1.仓库编号 = 主表.存放仓库id and 表2.员工编号 = 主表.开票人id"
    "\r\n\r\n"
    "多表多字段条件查询："
    "\r\n        SELECT 进货入库表.单据编号, 员工信息表.姓名 AS 开票人, 供应商信息表.供应商名称, "
    "仓库信息表.仓库名称"
    "\r\n        FROM 进货入库表, 员工信息表, 供应商信息表, 仓库信息表"
    "\r\n        WHERE 进货入库表.单据编号='J-2306-001' "
    "\r\n        and 供应商信息表.供应商编号 = 进货入库表.供应商id and 仓库信息表.仓库编号 = "
    "进货入库表.存放仓库id and 员工信息表.员工编号 = 进货入库表.开票人id";

}  // namespace tabulor
