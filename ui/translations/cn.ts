<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CancelOkWarningDlg</name>
    <message>
        <source>Dialog</source>
        <translation>对话框</translation>
    </message>
    <message>
        <source>Are you sure you want to exit?</source>
        <translation>确定要退出吗？</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>ConfigeDlg_Imp</name>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>摄像头</translation>
    </message>
    <message>
        <source>Microphone</source>
        <translation>麦克风</translation>
    </message>
    <message>
        <source>Speaker</source>
        <translation>扬声器</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Submit</source>
        <translation>提交</translation>
    </message>
</context>
<context>
    <name>DesktopShareTitleBar</name>
    <message>
        <source>Screen sharing...</source>
        <translation>屏幕共享中...</translation>
    </message>
</context>
<context>
    <name>DownloadLessonDlg</name>
    <message>
        <source>ZmQuillo - Updater</source>
        <translation>ZmQuillo - 更新程序</translation>
    </message>
    <message>
        <source>File loading</source>
        <translation>文件加载中</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>正在下载更新</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>剩余时间</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
</context>
<context>
    <name>ErrorDlg</name>
    <message>
        <source>Dialog</source>
        <translation>对话框</translation>
    </message>
    <message>
        <source>Something is worng:</source>
        <translation>出错了：</translation>
    </message>
    <message>
        <source>Please renter the class</source>
        <translation>请重新进入教室</translation>
    </message>
    <message>
        <source>or contact your CR</source>
        <translation>或联系您的课程顾问</translation>
    </message>
    <message>
        <source>I know</source>
        <translation>我知道了</translation>
    </message>
</context>
<context>
    <name>FeedbackOnlineDlg</name>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Others</source>
        <translation>其他</translation>
    </message>
    <message>
        <source>Please enter additional feedback questions.</source>
        <translation>请输入其他需要反馈的问题。</translation>
    </message>
    <message>
        <source>Limit exceeded, up to 200 characters</source>
        <translation>超出字数限制，最多200个字符</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Submit</source>
        <translation>提交</translation>
    </message>
</context>
<context>
    <name>FeedbackOnlineItem</name>
    <message>
        <source>Form</source>
        <translation>表单</translation>
    </message>
    <message>
        <source>Others</source>
        <translation>其他</translation>
    </message>
</context>
<context>
    <name>FeedbackReceivedDlg</name>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Your feedback is well received, we will fix it as soon as possible, but please try below solutions first.</source>
        <translation>我们已收到您的反馈，会尽快处理，请先尝试以下解决方法。</translation>
    </message>
    <message>
        <source>Audio/video issues:</source>
        <translation>音视频问题：</translation>
    </message>
    <message>
        <source>1 Quit applications like Zoom.</source>
        <translation>1 退出 Zoom 等应用程序。</translation>
    </message>
    <message>
        <source>2 Check if the audio/video equipment is correctly connected.</source>
        <translation>2 检查音视频设备是否连接正确。</translation>
    </message>
    <message>
        <source>3 Quit ZmQuillo and restart this application by clicking the desktop icon.</source>
        <translation>3 退出 ZmQuillo，再点击桌面图标重新启动本程序。</translation>
    </message>
    <message>
        <source>4 Restart your computer</source>
        <translation>4 重启电脑</translation>
    </message>
    <message>
        <source>Echo issue:</source>
        <translation>回声问题：</translation>
    </message>
    <message>
        <source>Please wear a headset.</source>
        <translation>请佩戴耳机。</translation>
    </message>
    <message>
        <source>Network issue:</source>
        <translation>网络问题：</translation>
    </message>
    <message>
        <source>1 Try network cable which is more stable than WIFI.</source>
        <translation>1 尝试使用比 WIFI 更稳定的网线。</translation>
    </message>
    <message>
        <source>2 Turn off network television or download application like Thunder in class .</source>
        <translation>2 上课时请关闭网络电视或迅雷等下载程序。</translation>
    </message>
    <message>
        <source>Get it</source>
        <translation>知道了</translation>
    </message>
</context>
<context>
    <name>FitstTipsDlg</name>
    <message>
        <source>If you encounter any issue in class, Please give us feedback and the staff will deal with it in time.</source>
        <translation>上课遇到任何问题，请向我们反馈，工作人员会及时处理。</translation>
    </message>
    <message>
        <source>Get it</source>
        <translation>知道了</translation>
    </message>
</context>
<context>
    <name>InitTask</name>
    <message>
        <source>Initializing...(Agora_InitChannel)</source>
        <translation>正在初始化...(Agora_InitChannel)</translation>
    </message>
    <message>
        <source>Initialization failed.(Agora_InitChannel)</source>
        <translation>初始化失败。(Agora_InitChannel)</translation>
    </message>
    <message>
        <source>please check your network, and try again</source>
        <translation>请检查您的网络，然后重试</translation>
    </message>
    <message>
        <source>connecting camera...</source>
        <translation>正在连接摄像头...</translation>
    </message>
    <message>
        <source>connect camera failed</source>
        <translation>连接摄像头失败</translation>
    </message>
    <message>
        <source>please check your camera, and try again.</source>
        <translation>请检查您的摄像头，然后重试。</translation>
    </message>
    <message>
        <source>connecting micphone...</source>
        <translation>正在连接麦克风...</translation>
    </message>
    <message>
        <source>connect micphone failed</source>
        <translation>连接麦克风失败</translation>
    </message>
    <message>
        <source>please check your micphone, and try again.</source>
        <translation>请检查您的麦克风，然后重试。</translation>
    </message>
    <message>
        <source>connecting speaker...</source>
        <translation>正在连接扬声器...</translation>
    </message>
    <message>
        <source>connect speaker failed</source>
        <translation>连接扬声器失败</translation>
    </message>
    <message>
        <source>please check your speaker, and try again.</source>
        <translation>请检查您的扬声器，然后重试。</translation>
    </message>
    <message>
        <source>Connecting...(API_LoadClassInfo)</source>
        <translation>正在连接...(API_LoadClassInfo)</translation>
    </message>
    <message>
        <source>Connection failed.(API_LoadClassInfo)</source>
        <translation>连接失败。(API_LoadClassInfo)</translation>
    </message>
    <message>
        <source>Connecting...(API_EnterClass)</source>
        <translation>正在连接...(API_EnterClass)</translation>
    </message>
    <message>
        <source>Connection failed(API_EnterClass)</source>
        <translation>连接失败(API_EnterClass)</translation>
    </message>
    <message>
        <source>Connecting...(Agora_JoinChannel)</source>
        <translation>正在连接...(Agora_JoinChannel)</translation>
    </message>
    <message>
        <source>Connection failed(Agora_JoinChannel)</source>
        <translation>连接失败(Agora_JoinChannel)</translation>
    </message>
    <message>
        <source>connecting whiteboard...</source>
        <translation>正在连接白板...</translation>
    </message>
    <message>
        <source>Whiteboard connection failed</source>
        <translation>白板连接失败</translation>
    </message>
    <message>
        <source>Connecting...(WS)</source>
        <translation>正在连接...(WS)</translation>
    </message>
    <message>
        <source>Connection failed.(WS)</source>
        <translation>连接失败。(WS)</translation>
    </message>
</context>
<context>
    <name>MyTitleBar</name>
    <message>
        <source>VERSION: </source>
        <translation>版本：</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>后退</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>前进</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>首页</translation>
    </message>
    <message>
        <source>Screen Sharing</source>
        <translation>屏幕共享</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Import File</source>
        <translation>导入文件</translation>
    </message>
    <message>
        <source>GREAT</source>
        <translation>优</translation>
    </message>
    <message>
        <source>GOOD</source>
        <translation>良</translation>
    </message>
    <message>
        <source>POOR</source>
        <translation>差</translation>
    </message>
</context>
<context>
    <name>NetworkTipsDlg</name>
    <message>
        <source>Dialog</source>
        <translation>对话框</translation>
    </message>
    <message>
        <source>Tips:</source>
        <translation>提示：</translation>
    </message>
    <message>
        <source>1. The green network signal indicates ideal network quality; the yellow one shows normal network quality; the red one represents poor network quality;the gray network signal means unable to connect</source>
        <translation>1. 绿色网络信号表示网络质量理想；黄色表示网络质量一般；红色表示网络质量较差；灰色表示无法连接</translation>
    </message>
    <message>
        <source>2. Fixed network connection is recommended, as it&apos;s more stable than wifi</source>
        <translation>2. 建议使用有线网络连接，它比 Wi-Fi 更稳定</translation>
    </message>
    <message>
        <source>3. Please turn off the internet TV and download tools before class</source>
        <translation>3. 上课前请关闭网络电视和下载工具</translation>
    </message>
    <message>
        <source>I know</source>
        <translation>我知道了</translation>
    </message>
</context>
<context>
    <name>OfflineLessonResDownloader</name>
    <message>
        <source>File loading failed.
Download timeout, please download again.</source>
        <translation>文件加载失败。
下载超时，请重新下载。</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>重试</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>File loading failed.
The file has been unpacked or has been corrupted. Please contact the staff.</source>
        <translation>文件加载失败。
文件解压失败或已损坏，请联系工作人员。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>PPTFailLoadTips</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
    <message>
        <source>Oops! Bad internet connection, lesson loading failed.(Code: -4002)</source>
        <translation>糟糕！网络连接不佳，课件加载失败。(Code: -4002)</translation>
    </message>
    <message>
        <source>Solutions:</source>
        <translation>解决方法：</translation>
    </message>
    <message>
        <source>1. Refresh the page or exit the classroom;</source>
        <translation>1. 刷新页面或退出教室；</translation>
    </message>
    <message>
        <source>Click to Refresh</source>
        <translation>点击刷新</translation>
    </message>
    <message>
        <source>2. Use wired internet connection instead of wifi;</source>
        <translation>2. 使用有线网络代替无线网络；</translation>
    </message>
    <message>
        <source>3. Switch to 4G network if wifi is being used at public spaces such as airports, train stations, and shopping malls;</source>
        <translation>3. 如在机场、火车站、商场等公共场所使用无线网络，请切换到4G网络；</translation>
    </message>
    <message>
        <source>4. Turn off high definition internet TV and download managers during the class;</source>
        <translation>4. 上课期间请关闭高清网络电视和下载工具；</translation>
    </message>
    <message>
        <source>5. Contact Zm staff for assistance.</source>
        <translation>5. 联系Zm工作人员寻求帮助。</translation>
    </message>
</context>
<context>
    <name>PublicClassRoom</name>
    <message>
        <source>connecting network...</source>
        <translation>正在连接网络...</translation>
    </message>
    <message>
        <source>Failed to join the class</source>
        <translation>加入课堂失败</translation>
    </message>
    <message>
        <source>Please check your network and try to connect again.</source>
        <translation>请检查您的网络后重新连接。</translation>
    </message>
    <message>
        <source>connecting camera...</source>
        <translation>正在连接摄像头...</translation>
    </message>
    <message>
        <source>connect camera failed</source>
        <translation>连接摄像头失败</translation>
    </message>
    <message>
        <source>please check your camera, and try again.</source>
        <translation>请检查您的摄像头，然后重试。</translation>
    </message>
    <message>
        <source>connecting micphone...</source>
        <translation>正在连接麦克风...</translation>
    </message>
    <message>
        <source>connect micphone failed</source>
        <translation>连接麦克风失败</translation>
    </message>
    <message>
        <source>please check your micphone, and try again.</source>
        <translation>请检查您的麦克风，然后重试。</translation>
    </message>
    <message>
        <source>connecting speaker...</source>
        <translation>正在连接扬声器...</translation>
    </message>
    <message>
        <source>connect speaker failed</source>
        <translation>连接扬声器失败</translation>
    </message>
    <message>
        <source>please check your speaker, and try again.</source>
        <translation>请检查您的扬声器，然后重试。</translation>
    </message>
    <message>
        <source>connect server failed</source>
        <translation>连接服务器失败</translation>
    </message>
    <message>
        <source>please check your network, and try again.</source>
        <translation>请检查您的网络，然后重试。</translation>
    </message>
    <message>
        <source>load whiteboard failed</source>
        <translation>加载白板失败</translation>
    </message>
    <message>
        <source>ZmQuillo - Class Room</source>
        <translation>ZmQuillo - 课堂</translation>
    </message>
    <message>
        <source>Do you want to end this lesson?</source>
        <translation>是否结束本节课？</translation>
    </message>
    <message>
        <source>End the lesson</source>
        <translation>结束课程</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Are you sure you want to exit?</source>
        <translation>确定要退出吗？</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>This lesson is over~</source>
        <translation>本节课已结束~</translation>
    </message>
    <message>
        <source>Out of class</source>
        <translation>下课</translation>
    </message>
    <message>
        <source>Something is wrong with teacher's network</source>
        <translation>老师的网络出现问题</translation>
    </message>
    <message>
        <source>The teacher is sharing desktop</source>
        <translation>老师正在共享桌面</translation>
    </message>
    <message>
        <source>The teacher turned off desktop sharing</source>
        <translation>老师已关闭桌面共享</translation>
    </message>
    <message>
        <source>Micphone is turned off</source>
        <translation>麦克风已关闭</translation>
    </message>
    <message>
        <source>Microphone is temporarily disabled while playing video</source>
        <translation>播放视频时麦克风暂时关闭</translation>
    </message>
    <message>
        <source>Micphone is turned on</source>
        <translation>麦克风已打开</translation>
    </message>
    <message>
        <source>The teacher is not in the classroom.</source>
        <translation>老师不在教室。</translation>
    </message>
</context>
<context>
    <name>RaiseHandWidget</name>
    <message>
        <source>raise hand</source>
        <translation>举手</translation>
    </message>
    <message>
        <source>90s</source>
        <translation>90s</translation>
    </message>
    <message>
        <source>Raise</source>
        <translation>举手</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>StarAwards</name>
    <message>
        <source>Student</source>
        <translation>学生</translation>
    </message>
</context>
<context>
    <name>SystemSettingDlg</name>
    <message>
        <source>OpenGL Setting：</source>
        <translation>OpenGL 设置：</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>System setting</source>
        <translation>系统设置</translation>
    </message>
    <message>
        <source>Submit</source>
        <translation>提交</translation>
    </message>
    <message>
        <source>Surface AlphaBufferSize：</source>
        <translation>Surface AlphaBufferSize：</translation>
    </message>
    <message>
        <source>Video Capture Type：</source>
        <translation>视频采集类型：</translation>
    </message>
    <message>
        <source>Mode 1 (desktop)</source>
        <translation>模式 1（桌面）</translation>
    </message>
    <message>
        <source>Mode 2 (angle)</source>
        <translation>模式 2（ANGLE）</translation>
    </message>
    <message>
        <source>Mode 3 (software)</source>
        <translation>模式 3（软件）</translation>
    </message>
    <message>
        <source>Do you want to change the settings?
Change the settings will restart the software.</source>
        <translation>确定要修改设置吗？
修改设置将重启软件。</translation>
    </message>
    <message>
        <source>The software could not restart.
The new settings take effect at its next start.</source>
        <translation>软件无法重启。
新的设置将在下次启动时生效。</translation>
    </message>
</context>
<context>
    <name>ToastDialog</name>
    <message>
        <source>Dialog</source>
        <translation>对话框</translation>
    </message>
</context>
<context>
    <name>TryWarningDlg</name>
    <message>
        <source>Dialog</source>
        <translation>对话框</translation>
    </message>
    <message>
        <source>Connect camera failed</source>
        <translation>连接摄像头失败</translation>
    </message>
    <message>
        <source>Please check your camera, and try again.</source>
        <translation>请检查您的摄像头，然后重试。</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>重试</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>ZmQuillo - Updater</source>
        <translation>ZmQuillo - 更新程序</translation>
    </message>
    <message>
        <source>Updater</source>
        <translation>更新程序</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>正在下载更新</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>剩余时间：0 分钟</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>剩余时间</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>正在下载更新</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>剩余时间</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>约 %1 小时</translation>
    </message>
    <message>
        <source>about one hour</source>
        <translation>约 1 小时</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 分钟</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 分钟</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 秒</translation>
    </message>
    <message>
        <source>install</source>
        <translation>安装</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>下载完成！</translation>
    </message>
    <message>
        <source>Download failed!</source>
        <translation>下载失败！</translation>
    </message>
    <message>
        <source>The address is not a web address.</source>
        <translation>该地址不是网页地址。</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>无法创建文件夹 %1。</translation>
    </message>
    <message>
        <source>Cannot save the file: %1</source>
        <translation>无法保存文件：%1</translation>
    </message>
    <message>
        <source>Cannot save the file: every name is taken.</source>
        <translation>无法保存文件：所有文件名均已被占用。</translation>
    </message>
    <message>
        <source>The downloaded file was changed or removed.</source>
        <translation>下载的文件已被更改或删除。</translation>
    </message>
    <message>
        <source>Too many redirects, or a redirect to no web address.</source>
        <translation>重定向次数过多，或重定向到非网页地址。</translation>
    </message>
    <message>
        <source>The server answered %1.</source>
        <translation>服务器返回 %1。</translation>
    </message>
    <message>
        <source>The connection ended before the whole file came.</source>
        <translation>连接在文件下载完成前中断。</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>确定要取消下载吗？</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>找不到已下载的更新！</translation>
    </message>
</context>
<context>
    <name>UpgradeDlg</name>
    <message>
        <source>Dialog</source>
        <translation>对话框</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Reject</source>
        <translation>拒绝</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>放弃</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
</context>
<context>
    <name>UserItemWidget</name>
    <message>
        <source>Close the microphone</source>
        <translation>关闭麦克风</translation>
    </message>
    <message>
        <source>Open the microphone</source>
        <translation>打开麦克风</translation>
    </message>
</context>
<context>
    <name>UserListCtrl</name>
    <message>
        <source>Members</source>
        <translation>成员</translation>
    </message>
    <message>
        <source>%1 student(s) raising the hands</source>
        <translation>%1 位学生举手</translation>
    </message>
    <message>
        <source>Members (%1)</source>
        <translation>成员 (%1)</translation>
    </message>
</context>
<context>
    <name>UserListWidget</name>
    <message>
        <source>Members(0)</source>
        <translation>成员(0)</translation>
    </message>
</context>
<context>
    <name>VersionChecker</name>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>现在下载更新吗？</translation>
    </message>
    <message>
        <source>Version %1 has been released!</source>
        <translation>版本 %1 已发布！</translation>
    </message>
    <message>
        <source>Updater</source>
        <translation>更新程序</translation>
    </message>
</context>
<context>
    <name>VideoDisplayWidget</name>
    <message>
        <source>Name</source>
        <translation>姓名</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>离线</translation>
    </message>
    <message>
        <source>action</source>
        <translation>状态</translation>
    </message>
</context>
<context>
    <name>WattingDlg</name>
    <message>
        <source>Dialog</source>
        <translation>对话框</translation>
    </message>
    <message>
        <source>Connecting camera...</source>
        <translation>正在连接摄像头...</translation>
    </message>
</context>
<context>
    <name>WebTipOverlapWidget</name>
    <message>
        <source>Form</source>
        <translation>窗体</translation>
    </message>
</context>
<context>
    <name>Whiteboard</name>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
</context>
</TS>
