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
    <name>CheckSystemDlg</name>
    <message>
        <source>Devices testing</source>
        <translation>设备检测</translation>
    </message>
    <message>
        <source>Devices testing  is to determine whether the computer 
and accessories work for the online classrooms.</source>
        <translation>设备检测用于确认电脑及配件
能否正常用于在线课堂。</translation>
    </message>
    <message>
        <source>To ensure a smooth connection during the class, check your camera, 
microphone,  speaker, network , etc are normal.</source>
        <translation>为确保上课时连接顺畅，请检查摄像头、
麦克风、扬声器、网络等是否正常。</translation>
    </message>
    <message>
        <source>Please have these accessories ready: camera, microphone, headset or speaker.</source>
        <translation>请准备好以下配件：摄像头、麦克风、耳机或扬声器。</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始检测</translation>
    </message>
    <message>
        <source>Camera  </source>
        <translation>摄像头</translation>
    </message>
    <message>
        <source>Microphone  </source>
        <translation>麦克风</translation>
    </message>
    <message>
        <source>Speaker  </source>
        <translation>扬声器</translation>
    </message>
    <message>
        <source>Program </source>
        <translation>程序</translation>
    </message>
    <message>
        <source>APP</source>
        <translation>应用</translation>
    </message>
    <message>
        <source>（the latest version）</source>
        <translation>（最新版本）</translation>
    </message>
    <message>
        <source>Local network</source>
        <translation>本地网络</translation>
    </message>
    <message>
        <source>Detecting...</source>
        <translation>检测中...</translation>
    </message>
    <message>
        <source>Network delay</source>
        <translation>网络延迟</translation>
    </message>
    <message>
        <source>CPU load</source>
        <translation>CPU 负载</translation>
    </message>
    <message>
        <source>Note:</source>
        <translation>提示：</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>下一步</translation>
    </message>
    <message>
        <source>If the image shows on the screen, the camera is functioning.</source>
        <translation>如果屏幕上显示画面，说明摄像头工作正常。</translation>
    </message>
    <message>
        <source>camera：</source>
        <translation>摄像头：</translation>
    </message>
    <message>
        <source>Get the device...</source>
        <translation>正在获取设备...</translation>
    </message>
    <message>
        <source>No camera was detected, please click “re- connect device”.</source>
        <translation>未检测到摄像头，请点击“重新连接设备”。</translation>
    </message>
    <message>
        <source>Re-connect the device</source>
        <translation>重新连接设备</translation>
    </message>
    <message>
        <source>Camera anomaly</source>
        <translation>摄像头异常</translation>
    </message>
    <message>
        <source>I can't see the video</source>
        <translation>看不到画面</translation>
    </message>
    <message>
        <source>I can see the video</source>
        <translation>能看到画面</translation>
    </message>
    <message>
        <source>If volume level indicator is fluctuating, the microphone is functioning.</source>
        <translation>如果音量条在跳动，说明麦克风工作正常。</translation>
    </message>
    <message>
        <source>microphone：</source>
        <translation>麦克风：</translation>
    </message>
    <message>
        <source>No microphone was detected, please click “re- connect device”.</source>
        <translation>未检测到麦克风，请点击“重新连接设备”。</translation>
    </message>
    <message>
        <source>Please speak to the microphone.</source>
        <translation>请对着麦克风说话。</translation>
    </message>
    <message>
        <source>I can't see</source>
        <translation>看不到跳动</translation>
    </message>
    <message>
        <source>I can see</source>
        <translation>能看到跳动</translation>
    </message>
    <message>
        <source>Please click “play” button, if there is sound, the speaker is functioning.</source>
        <translation>请点击“播放”按钮，如果能听到声音，说明扬声器工作正常。</translation>
    </message>
    <message>
        <source>speaker：</source>
        <translation>扬声器：</translation>
    </message>
    <message>
        <source>No speaker was detected, please click “re- connect device”.</source>
        <translation>未检测到扬声器，请点击“重新连接设备”。</translation>
    </message>
    <message>
        <source>Play audio</source>
        <translation>播放声音</translation>
    </message>
    <message>
        <source>I can't hear the sound</source>
        <translation>听不到声音</translation>
    </message>
    <message>
        <source>I can hear the sound</source>
        <translation>能听到声音</translation>
    </message>
    <message>
        <source>Testing Result</source>
        <translation>检测结果</translation>
    </message>
    <message>
        <source>Check list</source>
        <translation>检测项目</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Camera</source>
        <translation>摄像头</translation>
    </message>
    <message>
        <source>abnormal</source>
        <translation>异常</translation>
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
        <source>System</source>
        <translation>系统</translation>
    </message>
    <message>
        <source>Pass</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Submit Feedback</source>
        <translation>提交反馈</translation>
    </message>
    <message>
        <source>Retest</source>
        <translation>重新检测</translation>
    </message>
    <message>
        <source>1. Using a wired internet connection is highly recommended than using wifi. 
Wired internet connection is more stable than wifi.
2. Switch to 4G network if wifi is being used at public spaces such as airports, train 
stations, and shopping malls.
3. Turn off internet TV and download managers during the class.</source>
        <translation>1. 强烈建议使用有线网络而不是 wifi，
有线网络比 wifi 更稳定。
2. 如果在机场、火车站、商场等公共场所使用 wifi，
请切换到 4G 网络。
3. 上课期间请关闭网络电视和下载工具。</translation>
    </message>
    <message>
        <source>If you do not see the image, please try:
1. Check if the camera is turned on.
2. Make sure the camera is not in use by other app such as Zoom.
3. If antivirus software warning pop-up appears, select "allow".
4. Switch the camera to another USB input.
5. Restart ZmQuillo application or restart your computer.</source>
        <translation>如果看不到画面，请尝试：
1. 检查摄像头是否已打开。
2. 确认摄像头没有被其他应用（如 Zoom）占用。
3. 如果杀毒软件弹出警告，请选择“允许”。
4. 把摄像头换到另一个 USB 接口。
5. 重新启动 ZmQuillo 或重新启动电脑。</translation>
    </message>
    <message>
        <source>If volume level indicator is not moving, please try:
1. Check if the microphone is turned on.
2. Make sure the microphone volume is turned to maximum.
3. If antivirus software warning pop-up appears, select "allow".
4. Switch the microphone to another USB input.
5. Restart Zm Quillo application or restart your computer.</source>
        <translation>如果音量条不动，请尝试：
1. 检查麦克风是否已打开。
2. 确认麦克风音量已调到最大。
3. 如果杀毒软件弹出警告，请选择“允许”。
4. 把麦克风换到另一个 USB 接口。
5. 重新启动 ZmQuillo 或重新启动电脑。</translation>
    </message>
    <message>
        <source>If there is no sound, please try:
1.  Check the headset/speaker is turned on and connected.
2.  Make sure the headset/speaker volume is turned to maximum.
3.  If antivirus software warning pop-up appears, select "allow".
4.  Switch the headset/speaker to another USB input.
5.  Restart Zm Quillo application or restart your computer.</source>
        <translation>如果没有声音，请尝试：
1.  检查耳机/扬声器是否已打开并连接好。
2.  确认耳机/扬声器音量已调到最大。
3.  如果杀毒软件弹出警告，请选择“允许”。
4.  把耳机/扬声器换到另一个 USB 接口。
5.  重新启动 ZmQuillo 或重新启动电脑。</translation>
    </message>
    <message>
        <source>Please click "submit feedback", we will follow up with you regarding your feedback.</source>
        <translation>请点击“提交反馈”，我们会就您的反馈与您联系。</translation>
    </message>
    <message>
        <source>(The latest version)</source>
        <translation>（最新版本）</translation>
    </message>
    <message>
        <source>(Find a new version)</source>
        <translation>（发现新版本）</translation>
    </message>
    <message>
        <source>Stop play</source>
        <translation>停止播放</translation>
    </message>
    <message>
        <source>You're not logged in yet, you can't submit feedback.</source>
        <translation>您还没有登录，不能提交反馈。</translation>
    </message>
    <message>
        <source>Submit successfully, we will follow up your feedback in time.</source>
        <translation>提交成功，我们会及时跟进您的反馈。</translation>
    </message>
    <message>
        <source>Fluency</source>
        <translation>流畅</translation>
    </message>
    <message>
        <source>Congestion</source>
        <translation>拥堵</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>繁忙</translation>
    </message>
    <message>
        <source>Connection failed</source>
        <translation>连接失败</translation>
    </message>
    <message>
        <source>Poor</source>
        <translation>较差</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>良好</translation>
    </message>
    <message>
        <source>Great</source>
        <translation>优秀</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>低</translation>
    </message>
    <message>
        <source>Medium</source>
        <translation>中</translation>
    </message>
    <message>
        <source>High</source>
        <translation>高</translation>
    </message>
</context>
<context>
    <name>ClassReplayDlg</name>
    <message>
        <source>Are you sure you want to exit Playback?</source>
        <translation>确定要退出回放吗？</translation>
    </message>
    <message>
        <source>Video playback loading process is abnormal, you can:</source>
        <translation>视频回放加载异常，您可以：</translation>
    </message>
    <message>
        <source>refresh the page or enter the classroom later</source>
        <translation>刷新页面或稍后再进入教室</translation>
    </message>
    <message>
        <source>contact the CR</source>
        <translation>联系班主任</translation>
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
    <name>Dialog</name>
    <message>
        <source>Dialog</source>
        <translation>对话框</translation>
    </message>
    <message>
        <source>Network exception, submission feedback failed. 
Please contact the course advisor or the head 
teacher as soon as possible.</source>
        <translation>网络异常，反馈提交失败。
请尽快联系课程顾问或班主任。</translation>
    </message>
    <message>
        <source>Get it</source>
        <translation>知道了</translation>
    </message>
    <message>
        <source>Network exception, submission feedback failed. 
Please contact the staff as soon as possible.</source>
        <translation>网络异常，反馈提交失败。
请尽快联系工作人员。</translation>
    </message>
    <message>
        <source>The failure of the equipment test may 
affect the experience of the class.
Do you want to the test?</source>
        <translation>设备检测未完成可能会
影响上课体验。
要结束检测吗？</translation>
    </message>
    <message>
        <source>End</source>
        <translation>结束</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>继续检测</translation>
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
        <source>2. Fixed network connection is recommended, as it's more stable than wifi</source>
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
    <name>NormalClassReplayDlg</name>
    <message>
        <source>ZmQuillo - Playback</source>
        <translation>ZmQuillo - 回放</translation>
    </message>
    <message>
        <source>Playback loading...</source>
        <translation>回放加载中...</translation>
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
    <name>PublicClassReplayDlg</name>
    <message>
        <source>ZmQuillo - Playback</source>
        <translation>ZmQuillo - 回放</translation>
    </message>
    <message>
        <source>Playback loading...</source>
        <translation>回放加载中...</translation>
    </message>
    <message>
        <source> Course Introduction:</source>
        <translation> 课程介绍：</translation>
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
    <name>SmallClassRoom</name>
    <message>
        <source>ZmQuillo - Class Room</source>
        <translation>ZmQuillo - 教室</translation>
    </message>
    <message>
        <source>Micphone is turned on</source>
        <translation>麦克风已打开</translation>
    </message>
    <message>
        <source>Micphone is turned off</source>
        <translation>麦克风已关闭</translation>
    </message>
    <message>
        <source>Broken network, reconnecting...</source>
        <translation>网络已断开，正在重新连接...</translation>
    </message>
    <message>
        <source>Network connection success.</source>
        <translation>网络连接成功。</translation>
    </message>
    <message>
        <source>camera</source>
        <translation>摄像头</translation>
    </message>
    <message>
        <source>microphone</source>
        <translation>麦克风</translation>
    </message>
    <message>
        <source>speaker</source>
        <translation>扬声器</translation>
    </message>
    <message>
        <source>The device (%1) may affect classes. Please replace the new device in time.</source>
        <translation>设备（%1）可能影响上课，请及时更换新设备。</translation>
    </message>
    <message>
        <source>Get it</source>
        <translation>知道了</translation>
    </message>
    <message>
        <source>CPU overload, please close other software programs.</source>
        <translation>CPU负载过高，请关闭其他软件程序。</translation>
    </message>
</context>
<context>
    <name>SmallClassReplay</name>
    <message>
        <source>ZmQuillo - Class Room</source>
        <translation>ZmQuillo - 教室</translation>
    </message>
    <message>
        <source>Are you sure you want to exit Playback?</source>
        <translation>确定要退出回放吗？</translation>
    </message>
    <message>
        <source>Get it</source>
        <translation>知道了</translation>
    </message>
    <message>
        <source>camera</source>
        <translation>摄像头</translation>
    </message>
    <message>
        <source>microphone</source>
        <translation>麦克风</translation>
    </message>
    <message>
        <source>speaker</source>
        <translation>扬声器</translation>
    </message>
    <message>
        <source>The device (</source>
        <translation>设备（</translation>
    </message>
    <message>
        <source>) may affect classes. Please replace the new device in time.</source>
        <translation>）可能影响上课，请及时更换新设备。</translation>
    </message>
    <message>
        <source>CPU overload, please close other software programs.</source>
        <translation>CPU负载过高，请关闭其他软件程序。</translation>
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
<context>
    <name>ZmClassRoomDlg</name>
    <message>
        <source>Reseting...</source>
        <translation>正在重置...</translation>
    </message>
    <message>
        <source>The device (%1) may affect classes. Please replace the new device in time.</source>
        <translation>设备（%1）可能影响上课，请及时更换新设备。</translation>
    </message>
    <message>
        <source>Get it</source>
        <translation>知道了</translation>
    </message>
    <message>
        <source>Do you want to end this lesson?</source>
        <translation>要结束本节课吗？</translation>
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
        <source>Broken network, reconnecting...</source>
        <translation>网络已断开，正在重连...</translation>
    </message>
    <message>
        <source>Network connection success.</source>
        <translation>网络连接成功。</translation>
    </message>
    <message>
        <source>Your microphone's voice is too small and the other person may not be able to hear it.</source>
        <translation>你的麦克风声音太小，对方可能听不到。</translation>
    </message>
    <message>
        <source>Microphone disabled by system
Please turn on microphone in system setting.</source>
        <translation>麦克风已被系统禁用
请在系统设置中打开麦克风。</translation>
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
        <source>Are you sure to enable sharing your screen?</source>
        <translation>确定要共享你的屏幕吗？</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>Microphone is temporarily disabled while playing video</source>
        <translation>播放视频时麦克风暂时关闭</translation>
    </message>
    <message>
        <source>The reset will reconnect the camera and speakers, and solve the problems of video and sound carton. The whole process will take about 5 seconds. Are you sure you want to reset it?</source>
        <translation>重置将重新连接摄像头和扬声器，解决视频和声音卡顿的问题，整个过程约需5秒。确定要重置吗？</translation>
    </message>
    <message>
        <source>CPU overload, please close other software programs.</source>
        <translation>CPU负载过高，请关闭其他软件程序。</translation>
    </message>
    <message>
        <source>camera</source>
        <translation>摄像头</translation>
    </message>
    <message>
        <source>microphone</source>
        <translation>麦克风</translation>
    </message>
    <message>
        <source>speaker</source>
        <translation>扬声器</translation>
    </message>
</context>
<context>
    <name>ZmMainRoomDlg</name>
    <message>
        <source>ZmQuillo - Main Room</source>
        <translation>ZmQuillo - 主页</translation>
    </message>
    <message>
        <source>Instructional video</source>
        <translation>教学视频</translation>
    </message>
    <message>
        <source>Devices test</source>
        <translation>设备检测</translation>
    </message>
    <message>
        <source>Clear cache</source>
        <translation>清除缓存</translation>
    </message>
    <message>
        <source>System setting</source>
        <translation>系统设置</translation>
    </message>
    <message>
        <source>Are you sure you want to exit ZmQuillo?</source>
        <translation>确定要退出 ZmQuillo 吗？</translation>
    </message>
    <message>
        <source>Clear cache can free disk space. Do you want to clear it immediately?
Clearing the cache will restart the software and need to login again.</source>
        <translation>清除缓存可以释放磁盘空间。是否立即清除？
清除缓存后软件将重新启动，需要重新登录。</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>The software could not restart.
The cache is cleared at its next start.</source>
        <translation>软件无法重新启动。
缓存将在下次启动时清除。</translation>
    </message>
    <message>
        <source>Courseware imported.</source>
        <translation>课件导入成功。</translation>
    </message>
    <message>
        <source>Courseware import failed.</source>
        <translation>课件导入失败。</translation>
    </message>
</context>
<context>
    <name>ZmMainWebRoom</name>
    <message>
        <source>Loading...</source>
        <translation>加载中...</translation>
    </message>
</context>
<context>
    <name>ZmVideoDlg</name>
    <message>
        <source>ZmQuillo - Class Room</source>
        <translation>ZmQuillo - 教室</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>重置</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
</context>
</TS>
