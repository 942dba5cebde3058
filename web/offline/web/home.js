// Stand-in for the home page the program shows in its main window. It attaches to the program's channel object
// "vovozuzo" and writes its six properties as the real home page would:
//   pageloaded     {"result":"true"} once connected
//   initfilepage   {"result":"true"} whenever it shows its start page (nobody signed in)
//   loginsuccess   {"result":"true","userid","token"} when a user signs in (also when a stored sign-in is restored)
//   enterroom      {"teachType","classType","accountType","lessonid","periodid","lessonname"} to enter a lesson
//   enterreplayer  the same plus "media1", "media1start", "media1dur", "media2", "media2start", "media2dur"
//   openzoomurl    an address to open in the desktop's browser
// It defines window.userExpired(), the program's heartbeat while the page is hidden, which counts the checks and
// signs the user out when the sign-in was set to expire.
//
// Query (as the program builds it): mode, language, v. The mode names the class service's environment; an http
// address there is the local class service simulator, whose file host serves the recordings of the replays.
//
// window.homeFixture drives the page from tests: signIn(role), signOut(), enter(kind, changes), replay(kind, changes),
// write(property, value), expire(on), reset(); it exposes the channel object as home, connected, the heartbeat count
// expiredChecks and the properties written so far (writes: [[property, text], ...]).
(function () {
    "use strict";

    var STORAGE_KEY = "zmquilloHomeUser";

    var query = new URLSearchParams(location.search);
    var mode = query.get("mode") || "";
    var language = query.get("language") || "en";
    var version = query.get("v") || "";
    var services = /^https?:\/\//.test(mode) ? mode.replace(/\/+$/, "") : "";

    // Who may sign in: the class service simulator's pupil, teacher and an auditor.
    var ROLES = {
        pupil: { name: "Leo (pupil)", userid: "100234", accountType: "1",
                 token: "eyJhbGciOiJIUzI1NiJ9.cHVwaWwtMTAwMjM0.bG9jYWwtcnVu" },
        teacher: { name: "Ms. Clara Whitfield (teacher)", userid: "300451", accountType: "2",
                   token: "eyJhbGciOiJIUzI1NiJ9.dGVhY2hlci0zMDA0NTE.bG9jYWwtcnVu" },
        auditor: { name: "Sam (auditor)", userid: "900017", accountType: "3",
                   token: "eyJhbGciOiJIUzI1NiJ9.YXVkaXRvci05MDAwMTc.bG9jYWwtcnVu" }
    };

    // The lessons on the list, one per class kind (teach type 1 normal, 2 small, 3 public).
    var LESSONS = {
        normal: { title: "Unit 3 · At the Zoo", kind: "One-to-one class", teachType: 1, classType: 1,
                  lessonid: 880213, periodid: 20240611093 },
        small: { title: "Unit 3 · At the Zoo", kind: "Small class", teachType: 2, classType: 2,
                 lessonid: 880213, periodid: 20240611094 },
        public: { title: "Unit 3 · At the Zoo", kind: "Public class", teachType: 3, classType: 3,
                  lessonid: 880213, periodid: 20240611095 }
    };

    // The recordings: the teacher's video from the start and, in the one-to-one class, the pupil's from 5 s on.
    function recording(kind) {
        var files = services ? services + "/files/" : "";
        return {
            media1: files ? files + "teacher.mp4" : "",
            media1start: "0",
            media1dur: "60000",
            media2: files && kind === "normal" ? files + "student.mp4" : "",
            media2start: "5000",
            media2dur: "45000"
        };
    }

    var home = null;
    var fixture = {
        home: null,
        connected: false,
        expiredChecks: 0,
        expires: false,
        writes: [],
        signIn: signIn,
        signOut: signOut,
        enter: enter,
        replay: replay,
        write: write,
        expire: function (on) { fixture.expires = on !== false; },
        reset: function () {
            localStorage.removeItem(STORAGE_KEY);
            fixture.writes = [];
            fixture.expiredChecks = 0;
            fixture.expires = false;
        }
    };
    window.homeFixture = fixture;

    function byId(id) {
        return document.getElementById(id);
    }

    function setStatus(text) {
        byId("status").textContent = text;
    }

    function write(property, value) {
        var text = typeof value === "string" ? value : JSON.stringify(value);
        fixture.writes.push([property, text]);
        if (home)
            home[property] = text;
    }

    function signedInUser() {
        var role = localStorage.getItem(STORAGE_KEY);
        return ROLES[role] ? role : "";
    }

    function showStartPage() {
        byId("signin").hidden = false;
        byId("home").hidden = true;
        write("initfilepage", { result: "true" });
    }

    function showLessons(role) {
        byId("userName").textContent = ROLES[role].name;
        byId("signin").hidden = true;
        byId("home").hidden = false;
    }

    function signIn(role) {
        var user = ROLES[role];
        if (!user)
            return false;
        localStorage.setItem(STORAGE_KEY, role);
        showLessons(role);
        write("loginsuccess", { result: "true", userid: user.userid, token: user.token });
        return true;
    }

    function signOut() {
        localStorage.removeItem(STORAGE_KEY);
        showStartPage();
    }

    function lessonKeys(kind, changes) {
        var lesson = LESSONS[kind];
        var user = ROLES[signedInUser()] || ROLES.pupil;
        var keys = {
            teachType: lesson.teachType,
            classType: lesson.classType,
            accountType: user.accountType,
            lessonid: lesson.lessonid,
            periodid: lesson.periodid,
            lessonname: lesson.title
        };
        Object.keys(changes || {}).forEach(function (name) { keys[name] = changes[name]; });
        return keys;
    }

    function enter(kind, changes) {
        write("enterroom", lessonKeys(kind, changes));
    }

    function replay(kind, changes) {
        var keys = lessonKeys(kind, {});
        var media = recording(kind);
        Object.keys(media).forEach(function (name) { keys[name] = media[name]; });
        Object.keys(changes || {}).forEach(function (name) { keys[name] = changes[name]; });
        write("enterreplayer", keys);
    }

    // The program's heartbeat while the main window is hidden.
    window.userExpired = function () {
        fixture.expiredChecks += 1;
        if (fixture.expires && signedInUser())
            signOut();
    };

    function element(tag, attributes, text) {
        var node = document.createElement(tag);
        Object.keys(attributes || {}).forEach(function (name) { node.setAttribute(name, attributes[name]); });
        if (text)
            node.textContent = text;
        return node;
    }

    function card(title, detail, buttonText, id, action) {
        var row = element("div", { "class": "card" });
        var text = element("span");
        text.appendChild(element("b", {}, title));
        text.appendChild(element("span", { "class": "muted" }, detail));
        var button = element("button", { type: "button", id: id }, buttonText);
        button.addEventListener("click", action);
        row.appendChild(text);
        row.appendChild(button);
        return row;
    }

    function buildLists() {
        var roles = byId("roles");
        Object.keys(ROLES).forEach(function (role, index) {
            var label = element("label", { "class": "role" });
            var input = element("input", { type: "radio", name: "role", value: role, id: "role_" + role });
            if (index === 0)
                input.checked = true;
            label.appendChild(input);
            label.appendChild(document.createTextNode(" " + ROLES[role].name));
            roles.appendChild(label);
        });
        byId("signinButton").addEventListener("click", function () {
            var chosen = document.querySelector("input[name=role]:checked");
            signIn(chosen ? chosen.value : "pupil");
        });
        byId("signoutButton").addEventListener("click", signOut);

        Object.keys(LESSONS).forEach(function (kind) {
            var lesson = LESSONS[kind];
            byId("lessons").appendChild(card(lesson.title, lesson.kind + " · period " + lesson.periodid,
                                             "Enter class", "enter_" + kind, function () { enter(kind); }));
            byId("replays").appendChild(card(lesson.title, lesson.kind + " · recording",
                                             "Watch", "replay_" + kind, function () { replay(kind); }));
        });
        byId("about").textContent = "mode " + (mode || "-") + " · language " + language + " · version " + version +
            (services ? "" : " · no class service: recordings have no videos");
    }

    function connect() {
        if (typeof QWebChannel !== "function" || typeof qt === "undefined" || !qt.webChannelTransport) {
            setStatus("no program channel");
            return;
        }
        new QWebChannel(qt.webChannelTransport, function (channel) {
            home = channel.objects.vovozuzo;
            fixture.home = home;
            fixture.connected = true;
            setStatus("connected");
            write("pageloaded", { result: "true" });
            var role = signedInUser();
            if (role)
                signIn(role);
            else
                showStartPage();
        });
    }

    document.addEventListener("DOMContentLoaded", function () {
        buildLists();
        connect();
    });
})();
