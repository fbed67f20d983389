<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutBox</name>
    <message>
        <source>%1 %2

USB 电子烟设备（HID 0483:5750）的服务工具：设备信息、屏幕图片、输出设置、功率曲线和固件升级。

Qt %3（编译时为 %4）
hidapi %5</source>
        <translation>%1 %2

Service tool for USB vaping devices (HID 0483:5750): device information, screen pictures, output settings, power curves and firmware upgrades.

Qt %3 (built with %4)
hidapi %5</translation>
    </message>
    <message>
        <source>关于 %1</source>
        <translation>About %1</translation>
    </message>
</context>
<context>
    <name>Device</name>
    <message>
        <source>设备忙，请等待当前操作完成</source>
        <translation>Device busy: wait until the current action has finished</translation>
    </message>
    <message>
        <source>设备离线</source>
        <translation>Device offline</translation>
    </message>
    <message>
        <source>Read timeout！</source>
        <translation>Read timeout!</translation>
    </message>
    <message>
        <source>未检测到设备：请连接设备</source>
        <translation>No device found: connect the device</translation>
    </message>
    <message>
        <source>设备已连接，但无权限打开：请安装 udev 规则 %1（见设备信息页）</source>
        <translation>Device connected, but no permission to open it: install the udev rule %1 (see the Devices page)</translation>
    </message>
    <message>
        <source>设备已连接，但无法打开：请关闭占用它的程序</source>
        <translation>Device connected, but it cannot be opened: close the program that is using it</translation>
    </message>
    <message>
        <source>设备已断开</source>
        <translation>Device disconnected</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>未检测到设备：请用 USB 线连接设备。</source>
        <translation>No device detected: connect the device with its USB cable.</translation>
    </message>
    <message>
        <source>设备已连接，但当前用户无权限打开它。

请安装 Tessel Control 附带的 udev 规则，然后拔下设备再重新插上：

%1</source>
        <translation>The device is connected, but this user has no permission to open it.

Install the udev rule that comes with Tessel Control, then unplug the device and plug it in again:

%1</translation>
    </message>
    <message>
        <source>设备已连接，但无法打开。

请关闭其他正在使用它的程序，然后拔下设备再重新插上。</source>
        <translation>The device is connected, but it cannot be opened.

Close any other program that uses it, then unplug the device and plug it in again.</translation>
    </message>
</context>
<context>
    <name>Firmware</name>
    <message>
        <source>固件文件不存在</source>
        <translation>Firmware file not found</translation>
    </message>
    <message>
        <source>固件文件不是普通文件</source>
        <translation>Firmware file is not a regular file</translation>
    </message>
    <message>
        <source>固件文件无法读取</source>
        <translation>Firmware file cannot be read</translation>
    </message>
    <message>
        <source>固件文件为空</source>
        <translation>Firmware file is empty</translation>
    </message>
    <message>
        <source>文件大小：%1 kB</source>
        <translation>File size: %1 kB</translation>
    </message>
    <message>
        <source>不支持中文路径！</source>
        <translation>Non-ASCII paths are not supported!</translation>
    </message>
    <message>
        <source>固件文件出错：文件不足48字节，没有型号信息！</source>
        <translation>Firmware file error: shorter than 48 bytes, no model information!</translation>
    </message>
    <message>
        <source>固件文件出错：文件超过16 MB，不是本型号产品固件！</source>
        <translation>Firmware file error: larger than 16 MB, not firmware for this model!</translation>
    </message>
    <message>
        <source>写固件已中断，设备停留在 Bootloader</source>
        <translation>Firmware write interrupted; the device stays in its bootloader</translation>
    </message>
    <message>
        <source>分配内存失败！</source>
        <translation>Out of memory!</translation>
    </message>
    <message>
        <source>已取消固件升级，未擦除</source>
        <translation>Firmware upgrade cancelled; nothing erased</translation>
    </message>
    <message>
        <source>设备离线</source>
        <translation>Device offline</translation>
    </message>
    <message>
        <source>读取超时！</source>
        <translation>Read timeout!</translation>
    </message>
    <message>
        <source>固件文件出错：不是本型号产品固件！</source>
        <translation>Firmware file error: not firmware for this model!</translation>
    </message>
    <message>
        <source>警告：擦除命令未完整发出（设备可能已重启）</source>
        <translation>Warning: the erase command did not go out completely (the device may have restarted)</translation>
    </message>
    <message>
        <source>擦出成功！</source>
        <translation>Erase complete!</translation>
    </message>
    <message>
        <source>打开设备失败</source>
        <translation>Cannot open the device</translation>
    </message>
    <message>
        <source>检测设备固件...</source>
        <translation>Checking the device firmware...</translation>
    </message>
    <message>
        <source>检测Bootloader超时</source>
        <translation>Bootloader check timed out</translation>
    </message>
    <message>
        <source>打开固件文件失败！</source>
        <translation>Cannot open the firmware file!</translation>
    </message>
    <message>
        <source>开始写固件，请稍后...</source>
        <translation>Writing firmware, please wait...</translation>
    </message>
    <message>
        <source>写固件失败！</source>
        <translation>Firmware write failed!</translation>
    </message>
    <message>
        <source>警告：跳转命令未完整发出（设备可能已重启）</source>
        <translation>Warning: the jump command did not go out completely (the device may have restarted)</translation>
    </message>
    <message>
        <source>写固件数据成功！</source>
        <translation>Firmware written!</translation>
    </message>
    <message>
        <source>跳转到用户程序！</source>
        <translation>Starting the new firmware!</translation>
    </message>
    <message>
        <source>中止固件升级！</source>
        <translation>Firmware upgrade stopped!</translation>
    </message>
    <message>
        <source>刷新！</source>
        <translation>Refresh!</translation>
    </message>
    <message>
        <source>不是固件文件：这是 PNG 图片</source>
        <translation>Not a firmware file: this is a PNG picture</translation>
    </message>
    <message>
        <source>不是固件文件：这是 JPEG 图片</source>
        <translation>Not a firmware file: this is a JPEG picture</translation>
    </message>
    <message>
        <source>不是固件文件：这是 GIF 图片</source>
        <translation>Not a firmware file: this is a GIF picture</translation>
    </message>
    <message>
        <source>不是固件文件：这是 BMP 图片</source>
        <translation>Not a firmware file: this is a BMP picture</translation>
    </message>
    <message>
        <source>不是固件文件：这是 ZIP 压缩包</source>
        <translation>Not a firmware file: this is a ZIP archive</translation>
    </message>
    <message>
        <source>不是固件文件：这是 gzip 压缩包</source>
        <translation>Not a firmware file: this is a gzip archive</translation>
    </message>
    <message>
        <source>不是固件文件：这是 PDF 文档</source>
        <translation>Not a firmware file: this is a PDF document</translation>
    </message>
    <message>
        <source>不是固件文件：这是 ELF 程序</source>
        <translation>Not a firmware file: this is an ELF program</translation>
    </message>
    <message>
        <source>固件文件出错：只有型号信息，没有固件数据！</source>
        <translation>Firmware file error: only the model header, no firmware data!</translation>
    </message>
    <message>
        <source>不是固件文件</source>
        <translation>Not a firmware file</translation>
    </message>
    <message>
        <source>升级完成：设备已返回，未读到固件版本</source>
        <translation>Upgrade complete: the device is back; its firmware version was not read</translation>
    </message>
    <message>
        <source>升级完成：设备现在运行 %1</source>
        <translation>Upgrade complete: the device now runs %1</translation>
    </message>
    <message>
        <source>升级完成：%1（版本未变）</source>
        <translation>Upgrade complete: %1 (version unchanged)</translation>
    </message>
    <message>
        <source>升级完成：%1 → %2</source>
        <translation>Upgrade complete: %1 → %2</translation>
    </message>
    <message>
        <source>设备应答了型号查询：正在运行应用程序</source>
        <translation>The device answered the model query: it is running its application</translation>
    </message>
    <message>
        <source>已取消写入：设备在运行应用程序，请用“开始升级”</source>
        <translation>Write cancelled: the device is running its application; use “Start upgrade”</translation>
    </message>
    <message>
        <source>设备未应答型号查询：视为在 Bootloader 中等待</source>
        <translation>The device did not answer the model query: taken to be waiting in its bootloader</translation>
    </message>
    <message>
        <source>固件型号：%1；此设备上次读到的型号：%2</source>
        <translation>Firmware model: %1; model last read from this device: %2</translation>
    </message>
    <message>
        <source>（从未读到）</source>
        <translation>(never read)</translation>
    </message>
    <message>
        <source>已取消写入，未擦除也未写入</source>
        <translation>Write cancelled; nothing erased or written</translation>
    </message>
    <message>
        <source>等待设备返回...</source>
        <translation>Waiting for the device to come back...</translation>
    </message>
    <message>
        <source>设备未返回：可能仍在 Bootloader 中</source>
        <translation>The device did not come back: it may still be in its bootloader</translation>
    </message>
</context>
<context>
    <name>LogFile</name>
    <message>
        <source>日志文件无法写入，已停止写日志文件：%1（%2）</source>
        <translation>Cannot write the log file; file logging is off: %1 (%2)</translation>
    </message>
    <message>
        <source>日志文件无法轮换，已停止写日志文件：%1（%2）</source>
        <translation>Cannot move the full log file aside; file logging is off: %1 (%2)</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>DEVICE</source>
        <translation>DEVICE</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>FIRMWARE</source>
        <translation>FIRMWARE</translation>
    </message>
    <message>
        <source>SCREEN</source>
        <translation>SCREEN</translation>
    </message>
    <message>
        <source>WATTAGE</source>
        <translation>WATTAGE</translation>
    </message>
    <message>
        <source>T.C. </source>
        <translation>T.C. </translation>
    </message>
    <message>
        <source>I.D. #</source>
        <translation>I.D. #</translation>
    </message>
    <message>
        <source>软件版本：1.0.2</source>
        <translation>Software version: 1.0.2</translation>
    </message>
    <message>
        <source>选择文件：</source>
        <translation>Selected file: </translation>
    </message>
    <message>
        <source>打开固件</source>
        <translation>Open firmware</translation>
    </message>
    <message>
        <source>升级固件</source>
        <translation>Upgrade firmware</translation>
    </message>
    <message>
        <source>文件信息：</source>
        <translation>File information:</translation>
    </message>
    <message>
        <source>文件大小：10k</source>
        <translation>File size: 10k</translation>
    </message>
    <message>
        <source>正在升级....</source>
        <translation>Upgrading....</translation>
    </message>
    <message>
        <source>开始升级</source>
        <translation>Start upgrade</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>功率设定（W）</source>
        <translation>Power (W)</translation>
    </message>
    <message>
        <source>温度设定（°C）</source>
        <translation>Temperature (°C)</translation>
    </message>
    <message>
        <source>发热丝系数调节/TCR</source>
        <translation>Coil coefficient / TCR</translation>
    </message>
    <message>
        <source>功率曲线调节</source>
        <translation>Curves</translation>
    </message>
    <message>
        <source>温度单位选择：</source>
        <translation>Unit:</translation>
    </message>
    <message>
        <source>°C</source>
        <translation>°C</translation>
    </message>
    <message>
        <source>°F</source>
        <translation>°F</translation>
    </message>
    <message>
        <source>默认值（5）</source>
        <translation>Defaults (5)</translation>
    </message>
    <message>
        <source>写入设备（2）</source>
        <translation>Write (2)</translation>
    </message>
    <message>
        <source>加载文件（3）</source>
        <translation>Load (3)</translation>
    </message>
    <message>
        <source>保存文件（4）</source>
        <translation>Save (4)</translation>
    </message>
    <message>
        <source>VELTRA-MINI PRODUCT PAGE 
https://tessel-control.example/veltra-mini</source>
        <translation>VELTRA-MINI PRODUCT PAGE 
https://tessel-control.example/veltra-mini</translation>
    </message>
    <message>
        <source>ORBIS TANK PRODUCT PAGE
 https://tessel-control.example/orbis-tank</source>
        <translation>ORBIS TANK PRODUCT PAGE
 https://tessel-control.example/orbis-tank</translation>
    </message>
    <message>
        <source>01.开机画面</source>
        <translation>01. Boot</translation>
    </message>
    <message>
        <source>选择文件(S)</source>
        <translation>Open (S)</translation>
    </message>
    <message>
        <source>02.桌面壁纸</source>
        <translation>02. Home</translation>
    </message>
    <message>
        <source>03.待机壁纸</source>
        <translation>03. Standby</translation>
    </message>
    <message>
        <source>04.广告界面</source>
        <translation>04. Promo</translation>
    </message>
    <message>
        <source>05.关机画面</source>
        <translation>05. Goodbye</translation>
    </message>
    <message>
        <source>%p%</source>
        <translation>%p%</translation>
    </message>
    <message>
        <source>曲线 M%1 已写入设备</source>
        <translation>Curve M%1 written to the device</translation>
    </message>
    <message>
        <source>设备信息已读取</source>
        <translation>Device information read</translation>
    </message>
    <message>
        <source>设备信息读取不全：读取超时</source>
        <translation>Device information incomplete: read timeout</translation>
    </message>
    <message>
        <source>尚未读取设备型号</source>
        <translation>device model not read yet</translation>
    </message>
    <message>
        <source>与设备一致</source>
        <translation>matches the device</translation>
    </message>
    <message>
        <source>与设备不符：设备为 %1</source>
        <translation>does not match: the device is %1</translation>
    </message>
    <message>
        <source>型号 %1（%2）</source>
        <translation>Model %1 (%2)</translation>
    </message>
    <message>
        <source>分配内存失败！</source>
        <translation>Out of memory!</translation>
    </message>
    <message>
        <source>%1，%2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>固件已打开</source>
        <translation>Firmware opened</translation>
    </message>
    <message>
        <source>请打开固件</source>
        <translation>Open a firmware file</translation>
    </message>
    <message>
        <source>已取消升级，未发送任何数据</source>
        <translation>Upgrade cancelled; nothing sent</translation>
    </message>
    <message>
        <source>升级完成！</source>
        <translation>Upgrade complete!</translation>
    </message>
    <message>
        <source>升级失败！</source>
        <translation>Upgrade failed!</translation>
    </message>
    <message>
        <source>文件：%1
%2（%3 字节），%4 个数据块
设备：%5
固件%6

升级会先擦除设备上的程序。写入期间请勿拔出设备。开始升级吗？</source>
        <translation>File: %1
%2 (%3 bytes), %4 chunks
Device: %5
Firmware %6

The upgrade first erases the program on the device. Do not unplug the device while writing. Start the upgrade?</translation>
    </message>
    <message>
        <source>（尚未读取）</source>
        <translation>(not read yet)</translation>
    </message>
    <message>
        <source>恢复备份</source>
        <translation>Restore backup</translation>
    </message>
    <message>
        <source>升级前已备份功率曲线和设置：
%1
现在写回设备吗？</source>
        <translation>The power curves and settings were backed up before the upgrade:
%1
Write them back to the device now?</translation>
    </message>
    <message>
        <source>已写回备份：</source>
        <translation>Backup written back: </translation>
    </message>
    <message>
        <source>备份未能写回：</source>
        <translation>Backup not written back: </translation>
    </message>
    <message>
        <source>已写回升级前的功率曲线和设置</source>
        <translation>Power curves and settings from before the upgrade written back</translation>
    </message>
    <message>
        <source>备份未能写回</source>
        <translation>Backup not written back</translation>
    </message>
    <message>
        <source>加载配置文件</source>
        <translation>Load profile</translation>
    </message>
    <message>
        <source>保存配置文件</source>
        <translation>Save profile</translation>
    </message>
    <message>
        <source>温度设定（°F）</source>
        <translation>Temperature (°F)</translation>
    </message>
    <message>
        <source>超出设备范围</source>
        <translation>Outside the device range</translation>
    </message>
    <message>
        <source>以下设置超出设备报告的范围：
%1
仍要写入设备吗？</source>
        <translation>These settings are outside the ranges the device reports:
%1
Write them to the device anyway?</translation>
    </message>
    <message>
        <source>设置超出设备范围，未写入设备</source>
        <translation>Settings outside the device range; nothing written to the device</translation>
    </message>
    <message>
        <source>未写入：设置超出设备范围</source>
        <translation>Not written: settings outside the device range</translation>
    </message>
    <message>
        <source>已填入默认值（未写入设备）</source>
        <translation>Defaults filled in (not written to the device)</translation>
    </message>
    <message>
        <source>%1
只加载文件中有的设置，其余保持表格中的值吗？</source>
        <translation>%1
Load only the settings in the file and keep the table&apos;s other values?</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>未加载：</source>
        <translation>Not loaded: </translation>
    </message>
    <message>
        <source>已加载配置文件：</source>
        <translation>Profile loaded: </translation>
    </message>
    <message>
        <source>已加载配置文件（未写入设备）</source>
        <translation>Profile loaded (not written to the device)</translation>
    </message>
    <message>
        <source>未保存：</source>
        <translation>Not saved: </translation>
    </message>
    <message>
        <source>配置文件无法保存：</source>
        <translation>Cannot save the profile: </translation>
    </message>
    <message>
        <source>配置文件无法保存</source>
        <translation>Cannot save the profile</translation>
    </message>
    <message>
        <source>已保存配置文件：</source>
        <translation>Profile saved: </translation>
    </message>
    <message>
        <source>已保存配置文件</source>
        <translation>Profile saved</translation>
    </message>
    <message>
        <source>设备信息</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>固件升级</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>输出设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>图片槽位</source>
        <translation>Slots</translation>
    </message>
    <message>
        <source>日志</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>另存为…</source>
        <translation>Save as…</translation>
    </message>
    <message>
        <source>保存日志</source>
        <translation>Save log</translation>
    </message>
    <message>
        <source>日志无法保存：</source>
        <translation>Cannot save the log: </translation>
    </message>
    <message>
        <source>日志已保存：</source>
        <translation>Log saved: </translation>
    </message>
    <message>
        <source>暂不支持</source>
        <translation>Not supported</translation>
    </message>
    <message>
        <source>未写入：</source>
        <translation>Not written: </translation>
    </message>
    <message>
        <source>设置已写入设备</source>
        <translation>Settings written to the device</translation>
    </message>
    <message>
        <source>图片已发送</source>
        <translation>Picture sent</translation>
    </message>
    <message>
        <source>发送图片失败：</source>
        <translation>Picture not sent: </translation>
    </message>
    <message>
        <source>升级中...</source>
        <translation>Upgrading...</translation>
    </message>
    <message>
        <source>正在升级，请勿拔出设备....</source>
        <translation>Upgrading, do not unplug the device....</translation>
    </message>
    <message>
        <source>Open files</source>
        <translation>Open files</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>已在使用此语言。</source>
        <translation>This language is already in use.</translation>
    </message>
    <message>
        <source>语言将在下次启动时更改。</source>
        <translation>The language changes at the next start.</translation>
    </message>
    <message>
        <source>槽位号</source>
        <translation>Slot no.</translation>
    </message>
    <message>
        <source>设备未返回：可能仍在 Bootloader 中</source>
        <translation>The device did not come back: it may still be in its bootloader</translation>
    </message>
    <message>
        <source>请在服务模式中选择同一固件文件，用“升级固件（仅写入）”重新写入</source>
        <translation>In service mode, choose the same firmware file and write it again with “Upgrade firmware (write only)”</translation>
    </message>
    <message>
        <source>关闭窗口</source>
        <translation>Close the window</translation>
    </message>
    <message>
        <source>正在写入固件，请勿拔出设备。
现在关闭会中断写入，设备将停留在 Bootloader 中，需要用同一固件文件重新写入。

仍要立即关闭吗？选择“否”将在升级结束后关闭。</source>
        <translation>Firmware is being written; do not unplug the device.
Closing now stops the write and leaves the device in its bootloader; the same firmware file must then be written again.

Close now anyway? With “No” the window closes once the upgrade has ended.</translation>
    </message>
    <message>
        <source>升级固件（仅写入）</source>
        <translation>Upgrade firmware (write only)</translation>
    </message>
    <message>
        <source>只执行写入阶段，用于停在 Bootloader 中等待的设备（例如升级中断之后）：
先查询设备型号，再探测、写入、跳转，不擦除。
设备正常运行时请用“开始升级”。</source>
        <translation>Runs the write stage alone, for a device waiting in its bootloader (after an interrupted upgrade, for example):
asks the device for its model, then probes, writes and starts the firmware, without erasing.
For a device that runs normally, use “Start upgrade”.</translation>
    </message>
    <message>
        <source>检查固件型号，擦除设备上的程序，然后写入固件</source>
        <translation>Checks the firmware model, erases the program on the device, then writes the firmware</translation>
    </message>
    <message>
        <source>正在检查固件型号...</source>
        <translation>Checking the firmware model...</translation>
    </message>
    <message>
        <source>正在擦除，请勿拔出设备....</source>
        <translation>Erasing, do not unplug the device....</translation>
    </message>
    <message>
        <source>正在写入固件，请勿拔出设备....</source>
        <translation>Writing firmware, do not unplug the device....</translation>
    </message>
    <message>
        <source>正在等待设备返回...</source>
        <translation>Waiting for the device to come back...</translation>
    </message>
    <message>
        <source>设备应答了型号查询（%1）：它正在运行应用程序，并不在 Bootloader 中等待。
对正在运行的设备，正确的做法是用“开始升级”（检查型号、擦除、写入）。

仍要只执行写入阶段吗？</source>
        <translation>The device answered the model query (%1): it is running its application, not waiting in its bootloader.
For a running device the right path is “Start upgrade” (model check, erase, write).

Run the write stage alone anyway?</translation>
    </message>
    <message>
        <source>（从未读到）</source>
        <translation>(never read)</translation>
    </message>
    <message>
        <source>设备未应答型号查询，视为在 Bootloader 中等待。

固件文件的型号：%1
此设备上次读到的型号：%2

只执行写入阶段（探测、写入、跳转）吗？</source>
        <translation>The device did not answer the model query: it is taken to be waiting in its bootloader.

Model of the firmware file: %1
Model last read from this device: %2

Run the write stage alone (probe, write, start)?</translation>
    </message>
    <message>
        <source>固件文件的型号（%1）与此设备上次读到的型号（%2）不符。</source>
        <translation>The model of the firmware file (%1) differs from the model last read from this device (%2).</translation>
    </message>
    <message>
        <source>从未读到过此设备的型号，无法核对固件文件的型号（%1）。</source>
        <translation>The model of this device was never read, so the model of the firmware file (%1) cannot be checked.</translation>
    </message>
    <message>
        <source>确认写入</source>
        <translation>Confirm write</translation>
    </message>
    <message>
        <source>写入其他型号的固件会使设备无法启动。

确定要写入吗？</source>
        <translation>Firmware for another model leaves the device unable to start.

Write it anyway?</translation>
    </message>
    <message>
        <source>关于 Tessel Control…</source>
        <translation>About Tessel Control…</translation>
    </message>
    <message>
        <source>Tessel 配置文件 (*.tessel.json);;JSON 文件 (*.json);;所有文件 (*)</source>
        <translation>Tessel profile (*.tessel.json);;JSON (*.json);;All Files (*)</translation>
    </message>
    <message>
        <source>Tessel Control — 服务模式</source>
        <translation>Tessel Control — service mode</translation>
    </message>
    <message>
        <source>日志 (*.log *.txt)</source>
        <translation>Log (*.log *.txt)</translation>
    </message>
    <message>
        <source>固件文件 (*.bin);;所有文件 (*.*)</source>
        <translation>Binary Files (*.bin);;All Files (*.*)</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>把窗口缩到任务栏</source>
        <translation>Shrinks the window to the taskbar</translation>
    </message>
    <message>
        <source>最大化</source>
        <translation>Maximise</translation>
    </message>
    <message>
        <source>窗口大小固定，此按钮不起作用</source>
        <translation>The window has a fixed size; this button does nothing</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>关闭窗口并结束程序</source>
        <translation>Closes the window and ends the program</translation>
    </message>
    <message>
        <source>设备状态</source>
        <translation>Device status</translation>
    </message>
    <message>
        <source>图片按钮「DEVICE」：读取设备并显示它的信息</source>
        <translation>Picture button &quot;DEVICE&quot;: reads the device and shows its information</translation>
    </message>
    <message>
        <source>上传图片</source>
        <translation>Upload picture</translation>
    </message>
    <message>
        <source>图片按钮「UPLOAD」：为广告画面（槽 4）打开图片编辑器</source>
        <translation>Picture button &quot;UPLOAD&quot;: opens the image editor for the advertisement screen (slot 4)</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>图片按钮「HELP」：显示产品页面的链接</source>
        <translation>Picture button &quot;HELP&quot;: shows the links to the product pages</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>图片按钮「Usercustom」：不起作用</source>
        <translation>Picture button &quot;Usercustom&quot;: does nothing</translation>
    </message>
    <message>
        <source>设备图片</source>
        <translation>Device picture</translation>
    </message>
    <message>
        <source>已读取设备的图片</source>
        <translation>Picture of the device that was read</translation>
    </message>
    <message>
        <source>固件文件</source>
        <translation>Firmware file</translation>
    </message>
    <message>
        <source>升级进度</source>
        <translation>Upgrade progress</translation>
    </message>
    <message>
        <source>工作模式表</source>
        <translation>Working-mode table</translation>
    </message>
    <message>
        <source>每种工作模式的功率、温度和发热丝系数；Tab 走到每个数值，上下方向键增减</source>
        <translation>Wattage, temperature and coil coefficient of each working mode; Tab reaches each number, the Up and Down keys change it</translation>
    </message>
    <message>
        <source>摄氏度</source>
        <translation>Celsius</translation>
    </message>
    <message>
        <source>温度单位：°C</source>
        <translation>Temperature unit: °C</translation>
    </message>
    <message>
        <source>华氏度</source>
        <translation>Fahrenheit</translation>
    </message>
    <message>
        <source>温度单位：°F</source>
        <translation>Temperature unit: °F</translation>
    </message>
    <message>
        <source>VELTRA-MINI 产品页面</source>
        <translation>VELTRA-MINI product page</translation>
    </message>
    <message>
        <source>在浏览器中打开产品页面</source>
        <translation>Opens the product page in the browser</translation>
    </message>
    <message>
        <source>ORBIS TANK 产品页面</source>
        <translation>ORBIS TANK product page</translation>
    </message>
    <message>
        <source>图片上传进度</source>
        <translation>Picture upload progress</translation>
    </message>
    <message>
        <source>槽 %1 的图片</source>
        <translation>Picture of slot %1</translation>
    </message>
    <message>
        <source>%1：选择文件</source>
        <translation>%1: choose file</translation>
    </message>
    <message>
        <source>第 %1 行的槽号</source>
        <translation>Slot number of row %1</translation>
    </message>
    <message>
        <source>第 %1 行：按槽号选择文件</source>
        <translation>Row %1: choose file for the slot number</translation>
    </message>
    <message>
        <source>槽文件中保存的图片</source>
        <translation>The picture kept in the slot file</translation>
    </message>
    <message>
        <source>1 到 10；右边的按钮为这个槽打开图片编辑器</source>
        <translation>1 to 10; the button to the right opens the image editor for this slot</translation>
    </message>
    <message>
        <source>减小</source>
        <translation>Decrease</translation>
    </message>
    <message>
        <source>增大</source>
        <translation>Increase</translation>
    </message>
    <message>
        <source>上下方向键增减</source>
        <translation>The Up and Down keys change it</translation>
    </message>
    <message>
        <source>设备已连接</source>
        <translation>Device connected</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>Device not connected</translation>
    </message>
    <message>
        <source>读取设备信息</source>
        <translation>reading the device information</translation>
    </message>
    <message>
        <source>查询图片槽位</source>
        <translation>asking for the picture slot</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>refresh</translation>
    </message>
    <message>
        <source>写入设置</source>
        <translation>writing the settings</translation>
    </message>
    <message>
        <source>读取功率曲线</source>
        <translation>reading a power curve</translation>
    </message>
    <message>
        <source>写入功率曲线</source>
        <translation>writing a power curve</translation>
    </message>
    <message>
        <source>写入配置</source>
        <translation>writing the profile</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>取消正在进行的设备操作（当前这一包数据发完后停止）</source>
        <translation>Cancels the running device action (it stops once the report in flight has gone)</translation>
    </message>
    <message>
        <source>设备正忙：%1</source>
        <translation>Device busy: %1</translation>
    </message>
    <message>
        <source>设备无响应：请拔下设备，再重新连接</source>
        <translation>The device does not respond: unplug it and plug it in again</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>设备已重新连接</source>
        <translation>Device connected again</translation>
    </message>
    <message>
        <source>设备无响应</source>
        <translation>Device not responding</translation>
    </message>
    <message>
        <source>设备没有响应，程序不再等待它，现在关闭。
请拔下设备，再重新连接。</source>
        <translation>The device does not respond; the program closes now without waiting for it.
Unplug the device and plug it in again.</translation>
    </message>
    <message>
        <source>%1（已断开）</source>
        <translation>%1 (disconnected)</translation>
    </message>
    <message>
        <source>服务的设备（序列号 — 路径）</source>
        <translation>Device served (serial number — path)</translation>
    </message>
    <message>
        <source>读取全部功率曲线</source>
        <translation>Read all power curves</translation>
    </message>
</context>
<context>
    <name>MyView</name>
    <message>
        <source>Tessel Control View</source>
        <translation>Tessel Control View</translation>
    </message>
    <message>
        <source>Do you really want to log out Tessel Control View?</source>
        <translation>Do you really want to log out Tessel Control View?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>Pictures</name>
    <message>
        <source>设备显示 — %1</source>
        <translation>Device screen — %1</translation>
    </message>
    <message>
        <source>槽位尺寸无效：%1×%2</source>
        <translation>Invalid slot size: %1×%2</translation>
    </message>
    <message>
        <source>没有图片，未发送</source>
        <translation>No picture; nothing sent</translation>
    </message>
    <message>
        <source>图片文件无法保存，发送当前显示的图片</source>
        <translation>Cannot save the picture file; sending the picture shown</translation>
    </message>
    <message>
        <source>没有图片可导出</source>
        <translation>No picture to export</translation>
    </message>
    <message>
        <source>无法写入 %1</source>
        <translation>Cannot write %1</translation>
    </message>
    <message>
        <source>文件不是图片</source>
        <translation>The file is not a picture</translation>
    </message>
    <message>
        <source>图片文件无法读取</source>
        <translation>Picture file cannot be read</translation>
    </message>
    <message>
        <source>图片文件不存在</source>
        <translation>Picture file not found</translation>
    </message>
    <message>
        <source>图片文件不是普通文件</source>
        <translation>Picture file is not a regular file</translation>
    </message>
    <message>
        <source>发送图片--开始</source>
        <translation>Sending picture -- start</translation>
    </message>
    <message>
        <source>发送图片--结束</source>
        <translation>Sending picture -- end</translation>
    </message>
    <message>
        <source>发送图片失败，传输已中止</source>
        <translation>Picture not sent; transfer stopped</translation>
    </message>
    <message>
        <source>设备离线</source>
        <translation>Device offline</translation>
    </message>
    <message>
        <source>已收到回复</source>
        <translation>Reply received</translation>
    </message>
    <message>
        <source>读取超时！</source>
        <translation>Read timeout!</translation>
    </message>
    <message>
        <source>槽 %1 的图片有未保存的修改。</source>
        <translation>The picture of slot %1 has unsaved changes.</translation>
    </message>
    <message>
        <source>保存到槽文件</source>
        <translation>Save to slot file</translation>
    </message>
    <message>
        <source>放弃修改</source>
        <translation>Discard changes</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>图片文件是空的</source>
        <translation>The picture file is empty</translation>
    </message>
    <message>
        <source>图片 %1×%2 大于 %3×%3</source>
        <translation>Picture %1×%2 is larger than %3×%3</translation>
    </message>
    <message>
        <source>图片文件不完整或已损坏</source>
        <translation>The picture file is cut short or damaged</translation>
    </message>
</context>
<context>
    <name>Profile</name>
    <message>
        <source>曲线文件无效：%1</source>
        <translation>Invalid curve file: %1</translation>
    </message>
    <message>
        <source>应为 %1 行，实为 %2 行</source>
        <translation>expected %1 lines, found %2</translation>
    </message>
    <message>
        <source>第 %1 行：</source>
        <translation>line %1: </translation>
    </message>
    <message>
        <source>应为“秒,功率”两项</source>
        <translation>expected two fields, &quot;second,watts&quot;</translation>
    </message>
    <message>
        <source>秒数应为 %1，实为“%2”</source>
        <translation>second should be %1, found &quot;%2&quot;</translation>
    </message>
    <message>
        <source>功率“%1”不是整数</source>
        <translation>watts &quot;%1&quot; is not a whole number</translation>
    </message>
    <message>
        <source>功率 %1 超出 0–65535</source>
        <translation>watts %1 outside 0–65535</translation>
    </message>
    <message>
        <source>无法读取曲线文件：%1</source>
        <translation>Cannot read the curve file: %1</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>text</translation>
    </message>
    <message>
        <source>真假值</source>
        <translation>true/false</translation>
    </message>
    <message>
        <source>数组</source>
        <translation>array</translation>
    </message>
    <message>
        <source>对象</source>
        <translation>object</translation>
    </message>
    <message>
        <source>数字</source>
        <translation>number</translation>
    </message>
    <message>
        <source>配置文件超过 1 MB，未读取</source>
        <translation>Profile larger than 1 MB; not read</translation>
    </message>
    <message>
        <source>配置文件无效：不是 JSON（第 %1 字节处出错）</source>
        <translation>Invalid profile: not JSON (error at byte %1)</translation>
    </message>
    <message>
        <source>配置文件无效：内容应为 JSON 对象</source>
        <translation>Invalid profile: the content should be a JSON object</translation>
    </message>
    <message>
        <source>缺少此项</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>应为 tessel-profile</source>
        <translation>should be tessel-profile</translation>
    </message>
    <message>
        <source>配置文件无效：%1：%2</source>
        <translation>Invalid profile: %1: %2</translation>
    </message>
    <message>
        <source>应为整数，不是%1</source>
        <translation>should be a whole number, not %1</translation>
    </message>
    <message>
        <source>%1 不是整数</source>
        <translation>%1 is not a whole number</translation>
    </message>
    <message>
        <source>%1 超出 0–65535</source>
        <translation>%1 outside 0–65535</translation>
    </message>
    <message>
        <source>应为数字，不是%1</source>
        <translation>should be a number, not %1</translation>
    </message>
    <message>
        <source>%1 超出 0–0.65535</source>
        <translation>%1 outside 0–0.65535</translation>
    </message>
    <message>
        <source>配置文件版本 %1 比本程序新（本程序读取版本 %2），请更新程序</source>
        <translation>Profile version %1 is newer than this program (it reads version %2): update the program</translation>
    </message>
    <message>
        <source>没有版本 %1</source>
        <translation>there is no version %1</translation>
    </message>
    <message>
        <source>应为对象，不是%1</source>
        <translation>should be an object, not %1</translation>
    </message>
    <message>
        <source>应为文本，不是%1</source>
        <translation>should be text, not %1</translation>
    </message>
    <message>
        <source>应为数组，不是%1</source>
        <translation>should be an array, not %1</translation>
    </message>
    <message>
        <source>应为 %1 个数值，实为 %2 个</source>
        <translation>expected %1 values, found %2</translation>
    </message>
    <message>
        <source>无法读取配置文件：%1</source>
        <translation>Cannot read the profile: %1</translation>
    </message>
    <message>
        <source>%1 字节</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>找不到文件 %1</source>
        <translation>File %1 not found</translation>
    </message>
    <message>
        <source>%1 不是普通文件</source>
        <translation>%1 is not a regular file</translation>
    </message>
    <message>
        <source>文件超过 %1</source>
        <translation>file larger than %1</translation>
    </message>
    <message>
        <source>无法打开或读取 %1</source>
        <translation>Cannot open or read %1</translation>
    </message>
    <message>
        <source>文件是空的</source>
        <translation>the file is empty</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>备份：%1 条功率曲线读取超时，未备份</source>
        <translation>Backup: %1 power curve(s) timed out; no backup made</translation>
    </message>
    <message>
        <source>备份失败：无法写入 </source>
        <translation>Backup failed: cannot write </translation>
    </message>
    <message>
        <source>已备份功率曲线和设置：</source>
        <translation>Power curves and settings backed up: </translation>
    </message>
    <message>
        <source>设备离线</source>
        <translation>Device offline</translation>
    </message>
    <message>
        <source>读取超时！</source>
        <translation>Read timeout!</translation>
    </message>
    <message>
        <source>发送曲线失败：设备未收到数据</source>
        <translation>Curve not sent: the device did not receive the data</translation>
    </message>
    <message>
        <source>导出功率曲线</source>
        <translation>Export power curve</translation>
    </message>
    <message>
        <source>导入功率曲线</source>
        <translation>Import power curve</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>功率设定（W）</source>
        <translation>Power (W)</translation>
    </message>
    <message>
        <source>温度设定（°C）</source>
        <translation>Temperature (°C)</translation>
    </message>
    <message>
        <source>发热丝系数调节/TCR</source>
        <translation>Coil coefficient / TCR</translation>
    </message>
    <message>
        <source>%1 %2：数值无效或超出范围，未写入设备</source>
        <translation>%1 %2: invalid or out-of-range value; nothing written to the device</translation>
    </message>
    <message>
        <source>%1 功率设定（W）：%2，设备范围 %3–%4 W</source>
        <translation>%1 power (W): %2, device range %3–%4 W</translation>
    </message>
    <message>
        <source>%1 温度设定（°C）：%2，设备范围 %3–%4 °C</source>
        <translation>%1 temperature (°C): %2, device range %3–%4 °C</translation>
    </message>
    <message>
        <source>发送设置失败：设备未收到全部数据</source>
        <translation>Settings not sent: the device did not receive all the data</translation>
    </message>
    <message>
        <source>M%1 第 %2 秒：%3 W，设备最高 %4 W</source>
        <translation>M%1 second %2: %3 W, device maximum %4 W</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv);;所有文件 (*)</source>
        <translation>CSV (*.csv);;All Files (*)</translation>
    </message>
</context>
<context>
    <name>ServiceHistoryView</name>
    <message>
        <source>时间 (UTC)</source>
        <translation>Time (UTC)</translation>
    </message>
    <message>
        <source>作业</source>
        <translation>Job</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>秒</source>
        <translation>Seconds</translation>
    </message>
    <message>
        <source>固件</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>最近的作业：未识别设备</source>
        <translation>Last jobs: no unit identified</translation>
    </message>
    <message>
        <source>最近的作业：%1</source>
        <translation>Last jobs of %1</translation>
    </message>
</context>
<context>
    <name>editDlg</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Boot Logo</source>
        <translation>Boot Logo</translation>
    </message>
    <message>
        <source>(Click Edit)</source>
        <translation>(Click Edit)</translation>
    </message>
    <message>
        <source>IMAGE</source>
        <translation>IMAGE</translation>
    </message>
    <message>
        <source>ADD</source>
        <translation>ADD</translation>
    </message>
    <message>
        <source>EXPORT</source>
        <translation>EXPORT</translation>
    </message>
    <message>
        <source>default</source>
        <translation>default</translation>
    </message>
    <message>
        <source>IMAGE SIZE   240x340</source>
        <translation>IMAGE SIZE   240x340</translation>
    </message>
    <message>
        <source>TRIM</source>
        <translation>TRIM</translation>
    </message>
    <message>
        <source>ROTATE</source>
        <translation>ROTATE</translation>
    </message>
    <message>
        <source>H.FLIP</source>
        <translation>H.FLIP</translation>
    </message>
    <message>
        <source>V.FLIP</source>
        <translation>V.FLIP</translation>
    </message>
    <message>
        <source>UPLOAD</source>
        <translation>UPLOAD</translation>
    </message>
    <message>
        <source>CANCEL</source>
        <translation>CANCEL</translation>
    </message>
    <message>
        <source>Stops the transfer to the device (Esc)</source>
        <translation>Stops the transfer to the device (Esc)</translation>
    </message>
    <message>
        <source>Editorial Model</source>
        <translation>Editorial Model</translation>
    </message>
    <message>
        <source>FONT</source>
        <translation>FONT</translation>
    </message>
    <message>
        <source>SIZE</source>
        <translation>SIZE</translation>
    </message>
    <message>
        <source>PREVIEW</source>
        <translation>PREVIEW</translation>
    </message>
    <message>
        <source>BACKGROUND</source>
        <translation>BACKGROUND</translation>
    </message>
    <message>
        <source>How ADD fits a picture to the slot</source>
        <translation>How ADD fits a picture to the slot</translation>
    </message>
    <message>
        <source>How a one-bit screen gets the picture</source>
        <translation>How a one-bit screen gets the picture</translation>
    </message>
    <message>
        <source>Invert</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>DEVICE VIEW</source>
        <translation>DEVICE VIEW</translation>
    </message>
    <message>
        <source>PLAY</source>
        <translation>PLAY</translation>
    </message>
    <message>
        <source>IMAGE SIZE：</source>
        <translation>SIZE: </translation>
    </message>
    <message>
        <source>槽 %1 — %2×%3</source>
        <translation>Slot %1 — %2×%3</translation>
    </message>
    <message>
        <source>图片无法保存到槽文件</source>
        <translation>Cannot save the picture to the slot file</translation>
    </message>
    <message>
        <source>无法使用该图片文件：%1</source>
        <translation>Cannot use this picture file: %1</translation>
    </message>
    <message>
        <source>图片已导出：%1</source>
        <translation>Picture exported: %1</translation>
    </message>
    <message>
        <source>图片尺寸无效，无法打开绘画板</source>
        <translation>Invalid picture size; cannot open the drawing board</translation>
    </message>
    <message>
        <source>绘画板</source>
        <translation>Drawing board</translation>
    </message>
    <message>
        <source>Open files</source>
        <translation>Open files</translation>
    </message>
    <message>
        <source>Export picture</source>
        <translation>Export picture</translation>
    </message>
    <message>
        <source>槽 %1 的图片文件无法使用：%2</source>
        <translation>The picture file of slot %1 cannot be used: %2</translation>
    </message>
    <message>
        <source>Prospect: Black + Background: White</source>
        <translation>Prospect: Black + Background: White</translation>
    </message>
    <message>
        <source>Prospect: White + Background: Black</source>
        <translation>Prospect: White + Background: Black</translation>
    </message>
    <message>
        <source>Stretch</source>
        <translation>Stretch</translation>
    </message>
    <message>
        <source>Contain</source>
        <translation>Contain</translation>
    </message>
    <message>
        <source>Cover</source>
        <translation>Cover</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>Floyd–Steinberg</source>
        <translation>Floyd–Steinberg</translation>
    </message>
    <message>
        <source>图片 (*.png *.jpg *.jpeg *.bmp *.gif);;位图 (*.bmp);;所有文件 (*.*)</source>
        <translation>Images (*.png *.jpg *.jpeg *.bmp *.gif);;Binary Files (*.bmp);;All Files (*.*)</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png);;BMP 图片 (*.bmp)</source>
        <translation>PNG (*.png);;BMP (*.bmp)</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>关闭编辑器；未保存的图片会先询问</source>
        <translation>Closes the editor; an unsaved picture is asked about first</translation>
    </message>
    <message>
        <source>图片</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>要发送到槽的图片；按下打开绘画板</source>
        <translation>The picture to send to the slot; press to open the drawing board</translation>
    </message>
    <message>
        <source>文字大小</source>
        <translation>Text size</translation>
    </message>
    <message>
        <source>字体</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>配色</source>
        <translation>Colour scheme</translation>
    </message>
    <message>
        <source>要写到图片上的文字</source>
        <translation>Text to draw on the picture</translation>
    </message>
    <message>
        <source>图片适配方式</source>
        <translation>How the picture fits the slot</translation>
    </message>
    <message>
        <source>单色屏的转换方式</source>
        <translation>How a one-bit screen gets the picture</translation>
    </message>
</context>
<context>
    <name>lineDlg</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>M1</source>
        <translation>M1</translation>
    </message>
    <message>
        <source>M2</source>
        <translation>M2</translation>
    </message>
    <message>
        <source>M3</source>
        <translation>M3</translation>
    </message>
    <message>
        <source>M4</source>
        <translation>M4</translation>
    </message>
    <message>
        <source>M5</source>
        <translation>M5</translation>
    </message>
    <message>
        <source>写入设备</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>取消读取</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>选择组：</source>
        <translation>Curve:</translation>
    </message>
    <message>
        <source>功率曲线调节（M）</source>
        <translation>Power curve (M)</translation>
    </message>
    <message>
        <source>导出 CSV</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>导入 CSV</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>复制到…</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>已导出功率曲线 M%1：%2</source>
        <translation>Power curve M%1 exported: %2</translation>
    </message>
    <message>
        <source>功率曲线无法导出：%1</source>
        <translation>Cannot export the power curve: %1</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>已导入功率曲线 M%1：%2</source>
        <translation>Power curve M%1 imported: %2</translation>
    </message>
    <message>
        <source>超出设备范围</source>
        <translation>Outside the device range</translation>
    </message>
    <message>
        <source>以下功率超出设备报告的范围：
%1
仍要写入设备吗？</source>
        <translation>These powers are outside the range the device reports:
%1
Write them to the device anyway?</translation>
    </message>
    <message>
        <source>功率曲线 M%1 超出设备范围，未写入设备</source>
        <translation>Power curve M%1 outside the device range; nothing written to the device</translation>
    </message>
    <message>
        <source>时间（s）</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>功率（W）</source>
        <translation>Power (W)</translation>
    </message>
    <message>
        <source>功率曲线 M%1 有未写入设备的修改。</source>
        <translation>Power curve M%1 has changes not yet written to the device.</translation>
    </message>
    <message>
        <source>放弃修改</source>
        <translation>Discard changes</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>关闭功率曲线窗口；未写入的点会先询问</source>
        <translation>Closes the power curve window; points not written are asked about first</translation>
    </message>
    <message>
        <source>功率曲线 M%1</source>
        <translation>Power curve M%1</translation>
    </message>
    <message>
        <source>%1 秒：%2 W</source>
        <translation>%1 s: %2 W</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>读取全部</source>
        <translation>Read all</translation>
    </message>
</context>
<context>
    <name>my_spinbox</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
</context>
</TS>
