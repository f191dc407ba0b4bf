#include "core/CommandTable.h"

const std::vector<MainCommand> &mainCommands()
{
    static const std::vector<MainCommand> commands = {
        {101, "公司信息", "help-about"},
        {102, "更改密码", "dialog-password"},
        {103, "用户权限", "system-users"},
        {104, "选项...", "configure"},
        {105, "币种汇率", "view-currency-list"},
        {106, "样品类型", "view-list-tree"},
        {107, "客户类型", "view-list-tree"},
        {108, "供应商类型", "view-list-tree"},
        {201, "新增", "document-new"},
        {202, "修改", "document-edit"},
        {203, "删除", "edit-delete"},
        {204, "排序...", "view-sort-ascending"},
        {205, "显示字段选择", "view-choose"},
        {206, "保存当前网格", "document-save"},
        {207, "复制", "edit-copy"},
        {208, "样品资料", "view-list-details"},
        {209, "客户资料", "im-user"},
        {210, "供应商资料", "user-group-properties"},
        {301, "导出", "document-export"},
        {302, "报表设计", "document-page-setup"},
        {303, "样品详单", "document-print"},
        {304, "样品档案统计表", "document-print"},
        {305, "样品客户统计表", "document-print"},
        {306, "样品供应商统计表", "document-print"},
        {307, "样品分类统计表", "document-print"},
        {401, "统计", "office-chart-pie"},
        {402, "样品记录统计列表", "view-statistics"},
        {403, "样品档案查询统计", "view-statistics"},
        {404, "客户档案查询统计", "view-statistics"},
        {405, "供应商档案查询统计", "view-statistics"},
        {501, "导入样品资料", "document-import"},
        {502, "导入客户资料", "document-import"},
        {503, "导入供应商资料", "document-import"},
        {504, "系统数据清理", "edit-clear"},
        {505, "数据备份恢复", "document-save-as"},
        {506, "压缩修复数据库", "run-build"},
        {507, "连接网络数据库", "network-connect"},
        {901, "新增", "list-add"},
        {902, "修改", "document-edit"},
        {903, "删除", "list-remove"},
        {904, "更名", "edit-rename"},
    };
    return commands;
}

bool isRightControlled(int id)
{
    return id >= 101 && id <= 505;
}
