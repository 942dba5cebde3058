// Stand-in for the lesson pages the program hosts in its whiteboard view (whiteboard, playback and small class).
// It attaches to the program's channel object "vovozuzo", reports its buffer progress through "boardloaded",
// defines the functions the program calls, answers them as the real pages would, and reports the calls a person
// reading the log wants back to the program as "msg-w2n-log" messages, which the program writes to its log
// ("Whiteboard W2N_Msg_Log ( info ) : <call>"): not the voice volumes and statistics the program passes several
// times a second. The buttons send the page-to-program messages by hand.
//
// Query options (runtime changes: boardFixture.set({...}); boardFixture also offers post(message), report(text),
// buffer(percent), playVideo(playing), the channel object as board and every call received, reported or not, as
// calls):
//   board=full|never|fail  buffer progress 50 then 100 (default); nothing; a failed load
//   buffer_ms=N            time between 50 and 100 (default 100)
//   close=handshake|respond|now|silent  how N2WCloseWindow() is answered: "msg-w2n-close-window-response" and,
//                          close_ms later, "msg-w2n-close-window" (default); the response only; the close only;
//                          nothing
//   close_ms=N             (default 300)
//   hold=<address>         an image the page loads with itself, so that its load lasts as long as that request
// The page kind is the data-page attribute of <html>: "whiteboard", "playback" or "smallclass"; the page builds its
// own face. The small-class page asks for the client environment once connected and shows a video view (the
// plug-in's <embed>) for each user the program announces.
(function () {
    "use strict";

    var VIDEO_MIME = "application/x-zm-video";
    var MAX_LINES = 60;
    // Messages the program passes several times a second: kept, not reported.
    var UNREPORTED_KEYS = ["msg-n2w-user-volume-changed", "msg-n2w-post-rtc-stats"];

    var query = new URLSearchParams(location.search);
    var options = {
        board: query.get("board") || "full",
        buffer_ms: Number(query.get("buffer_ms") || 100),
        close: query.get("close") || "handshake",
        close_ms: Number(query.get("close_ms") || 300),
        hold: query.get("hold")
    };
    var kind = document.documentElement.getAttribute("data-page") || "whiteboard";
    var board = null;
    var unsent = [];
    var videoPlaying = false;

    var fixture = {
        kind: kind,
        options: options,
        connected: false,
        calls: [],
        set: function (changes) {
            Object.keys(changes).forEach(function (name) { options[name] = changes[name]; });
        },
        board: null,
        post: post,
        report: report,
        buffer: function (percent) { writeBuffer(percent); },
        playVideo: function (playing) { setVideoPlaying(playing); }
    };
    window.boardFixture = fixture;

    function byId(id) {
        return document.getElementById(id);
    }

    function showLine(text) {
        var list = byId("calls");
        if (!list)
            return;
        var line = document.createElement("li");
        line.textContent = text;
        list.insertBefore(line, list.firstChild);
        while (list.childNodes.length > MAX_LINES)
            list.removeChild(list.lastChild);
    }

    // One page-to-program message (an object, or a text written as it is).
    function post(message) {
        var text = typeof message === "string" ? message : JSON.stringify(message);
        if (board)
            board.JsPostMessage = text;
        else
            unsent.push(text);
    }

    function report(text) {
        fixture.calls.push(text);
        showLine(text);
        post({ key: "msg-w2n-log", level: "info", log: text });
    }

    function setStatus(text) {
        var status = byId("status");
        if (status)
            status.textContent = text;
    }

    function writeBuffer(percent) {
        board.boardloaded = percent;
        setStatus("connected, buffer " + percent + " %");
    }

    function startBuffering() {
        if (options.board !== "full")
            return;
        writeBuffer(50);
        setTimeout(function () { writeBuffer(100); }, options.buffer_ms);
    }

    function failLoad() {
        // A sibling that does not exist: a missing file, or a page the simulator refuses.
        location.replace(location.pathname + "-missing" + location.search);
    }

    // Video views of the small-class page: one plug-in element per announced user.
    function viewId(userId) {
        return "zmvideo_" + userId;
    }

    function sendInit(element, id, triesLeft) {
        if (!element.parentNode)
            return;
        if (typeof element.postMessage === "function") {
            element.postMessage({ command: "init", id: id });
            return;
        }
        if (triesLeft > 0)
            setTimeout(function () { sendInit(element, id, triesLeft - 1); }, 50);
    }

    function showVideo(userId) {
        var id = viewId(userId);
        if (byId(id))
            return;
        var tile = document.createElement("div");
        tile.className = "tile";
        tile.id = id + "_tile";
        var embed = document.createElement("embed");
        embed.id = id;
        embed.type = VIDEO_MIME;
        embed.width = 160;
        embed.height = 120;
        var caption = document.createElement("div");
        caption.className = "caption";
        caption.textContent = "user " + userId;
        var volume = document.createElement("div");
        volume.className = "volume";
        volume.id = id + "_volume";
        tile.appendChild(embed);
        tile.appendChild(caption);
        tile.appendChild(volume);
        byId("videos").appendChild(tile);
        post({ key: "msg-w2n-ppapi-showed", userId: String(userId), domId: id });
        sendInit(embed, id, 100);
    }

    function hideVideo(userId) {
        var tile = byId(viewId(userId) + "_tile");
        if (!tile)
            return;
        tile.parentNode.removeChild(tile);
        post({ key: "msg-w2n-ppapi-hidden", userId: String(userId), domId: viewId(userId) });
    }

    function showVolume(userId, volume) {
        var bar = byId(viewId(userId) + "_volume");
        if (bar)
            bar.style.width = Math.max(0, Math.min(100, Number(volume))) + "%";
    }

    function setVideoPlaying(playing) {
        videoPlaying = playing;
        post({ WPVideo: playing ? "Play" : "Stop" });
    }

    // The functions the program runs in the page.
    window.passMessage = function (message) {
        var call = "passMessage " + JSON.stringify(message);
        if (message && UNREPORTED_KEYS.indexOf(message.key) >= 0)
            fixture.calls.push(call);
        else
            report(call);
        if (kind !== "smallclass" || !message)
            return;
        if (message.key === "msg-n2w-user-video-online")
            showVideo(message.userId);
        else if (message.key === "msg-n2w-user-video-offline")
            hideVideo(message.userId);
        else if (message.key === "msg-n2w-user-volume-changed")
            showVolume(message.userId, message.volume);
    };
    window.showControlPanel = function (show) {
        report("showControlPanel " + show);
        var panel = byId("controlPanel");
        if (panel)
            panel.style.visibility = show ? "visible" : "hidden";
    };
    window.N2WCloseWindow = function () {
        report("N2WCloseWindow");
        if (options.close === "handshake" || options.close === "respond")
            post({ key: "msg-w2n-close-window-response" });
        if (options.close === "handshake")
            setTimeout(function () { post({ key: "msg-w2n-close-window" }); }, options.close_ms);
        else if (options.close === "now")
            post({ key: "msg-w2n-close-window" });
    };
    window.resumeVideoForAgora = function () {
        report("resumeVideoForAgora");
    };
    window.startRecording = function () {
        report("startRecording");
    };
    window.stopPPT = function () {
        report("stopPPT");
    };
    window.stopRunningVideo = function () {
        report("stopRunningVideo");
        if (videoPlaying)
            setVideoPlaying(false);
    };

    // The page's face: what it is, its state, the calls it received and buttons that send the page-to-program
    // messages by hand.
    var STYLE = [
        "body { margin: 0; font: 14px 'DejaVu Sans', sans-serif; background: #243138; color: #DEF4FF; }",
        "header { padding: 12px 16px; background: #32454F; }",
        "header b { color: #FF713F; }",
        "#controlPanel { visibility: hidden; padding: 6px 16px; background: #FF713F; color: #FFFFFF; }",
        "nav { padding: 8px 16px; }",
        "nav button { margin: 2px; }",
        "#videos { display: flex; flex-wrap: wrap; padding: 0 16px; }",
        ".tile { margin: 4px; width: 160px; background: #000000; }",
        ".caption { font-size: 12px; padding: 2px 4px; }",
        ".volume { height: 4px; width: 0; background: #3CC36B; }",
        "#calls { margin: 8px 16px; padding-left: 20px; font: 12px monospace; }"
    ].join("\n");

    var BUTTONS = [
        ["Reset", { key: "msg-w2n-btn-clicked", domId: "reset" }],
        ["Settings", { key: "msg-w2n-btn-clicked", domId: "setting" }],
        ["Feedback", { key: "msg-w2n-btn-clicked", domId: "feedback" }],
        ["Mic on", { key: "msg-w2n-device-mic-open" }],
        ["Mic off", { key: "msg-w2n-device-mic-close" }],
        ["Request env", { key: "msg-w2n-request-env" }],
        ["Video 120", { key: "msg-w2n-set-video-profile", size: 120 }],
        ["Video 240", { key: "msg-w2n-set-video-profile", size: 240 }],
        ["Video 480", { key: "msg-w2n-set-video-profile", size: 480 }],
        ["Play video", { WPVideo: "Play" }],
        ["Stop video", { WPVideo: "Stop" }],
        ["Close window", { key: "msg-w2n-close-window" }]
    ];

    function element(tag, attributes, text) {
        var node = document.createElement(tag);
        Object.keys(attributes || {}).forEach(function (name) { node.setAttribute(name, attributes[name]); });
        if (text)
            node.textContent = text;
        return node;
    }

    function buildFace() {
        document.head.appendChild(element("style", {}, STYLE));
        var header = element("header");
        header.appendChild(element("b", {}, "Lesson page (" + kind + ")"));
        header.appendChild(document.createTextNode(" - "));
        header.appendChild(element("span", { id: "status" }, "connecting"));
        document.body.appendChild(header);
        document.body.appendChild(element("div", { id: "controlPanel" }, "Control panel"));
        var nav = element("nav");
        BUTTONS.forEach(function (entry) {
            var button = element("button", { type: "button" }, entry[0]);
            button.addEventListener("click", function () {
                if (entry[1].WPVideo)
                    setVideoPlaying(entry[1].WPVideo === "Play");
                else
                    post(entry[1]);
            });
            nav.appendChild(button);
        });
        document.body.appendChild(nav);
        document.body.appendChild(element("div", { id: "videos" }));
        document.body.appendChild(element("ol", { id: "calls", reversed: "reversed" }));
    }

    function connect() {
        if (typeof QWebChannel !== "function" || typeof qt === "undefined" || !qt.webChannelTransport) {
            setStatus("no program channel");
            return;
        }
        new QWebChannel(qt.webChannelTransport, function (channel) {
            board = channel.objects.vovozuzo;
            fixture.board = board;
            fixture.connected = true;
            setStatus("connected");
            unsent.splice(0).forEach(function (text) { board.JsPostMessage = text; });
            if (kind === "playback") {
                board.signalBoardPause.connect(function (pause) {
                    report("signalBoardPause " + pause);
                    setStatus(pause ? "paused" : "playing");
                });
                board.signalBoardSeek.connect(function (position) {
                    report("signalBoardSeek " + position);
                    setStatus("at " + position + " ms");
                });
            }
            // After the connections above: the program has them once it sees this line.
            report("connected " + kind);
            if (kind === "smallclass")
                post({ key: "msg-w2n-request-env" });
            startBuffering();
        });
    }

    if (options.board === "fail") {
        failLoad();
        return;
    }
    document.addEventListener("DOMContentLoaded", function () {
        buildFace();
        if (options.hold)
            document.body.appendChild(element("img", { src: options.hold, width: "1", height: "1" }));
        connect();
    });
})();
