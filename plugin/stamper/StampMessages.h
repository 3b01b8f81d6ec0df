// The string-table ids of the messages of stamps and stamping runs, and the
// helper that formats one of them with a data argument.
#pragma once

#include <cstdint>
#include <string>

enum : uint32_t {
    kStrRunComplete = 26,           // "进程完成"
    kStrRunFailed = 27,             // "进程出错"
    kStrImageFileMissing = 200,     // "源图像文件 %s 不存在" (path)
    kStrSourceFileMissing = 201,    // "源文件 %s 不存在" (path)
    kStrSourcePageMissing = 202,    // "%s 引用的页面不存在" (stamp name)
    kStrCannotOpenSource = 203,     // "不能打开文档 %s (文件已锁定或已加密)" (path)
    kStrSourceNotModifiable = 204,  // "文档不能被修改。请检查文档的安全属性。"
    kStrSourcePageDamaged = 205,    // "%s 引用的页面已损坏" (stamp name)
    kStrPageResourcesDamaged = 206,  // "%s 引用的页面资源损坏" (stamp name)
    kStrBadPageRange = 207,         // "不能设置选择的页面范围: %s" (the set's message)
    kStrBadAction = 208,            // "不能设置选择的动作"
    kStrUserStopped = 209,          // "进程被用户停止"
    kStrCannotAddDocument = 211,    // "选择的文档不能作为印章添加到本文档"
    kStrCannotStamp = 212,          // "本文档不能添加印章"
    kStrStandardFontFailed = 213,   // "创建标准字体 %s 出错" (font name)
    kStrSystemFontFailed = 214,     // "创建系统字体 %s 出错" (font name)
    kStrNewDocumentFailed = 215,    // "为印章创建新文档出错"
    kStrImageFailed = 218,          // "创建图像 %s 出错" (path)
};

// String inId; when inArgument is given, formatted with it as the one "%s"
// argument (the argument is data, never a format). Cut to 1024 bytes at a
// character boundary.
std::string StampMessageText(uint32_t inId, const char* inArgument = nullptr);

// The message for a page whose resources already hold every name a stamp may
// give a new entry (inPrefix0 .. inPrefix<inLimit - 1>): names the stamp, the
// page (inPageIndex from 0, shown from 1) and the names taken, so that a page
// at the limit is not reported as damaged.
std::string ResourceNamesTakenMessage(const std::string& inStampName, int32_t inPageIndex,
                                      const std::string& inPrefix, int32_t inLimit);
