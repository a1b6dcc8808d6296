// The live preview's helper in the preview's own script world (see WebPreview.cpp).
var halvanePreview = (function () {
  var changedByPage = false, own = false, host = null, frame = null;
  var watch = new MutationObserver(function () { if (!own) changedByPage = true; });
  watch.observe(document, {subtree: true, childList: true, attributes: true, characterData: true});
  return {
    patch: function (tag, index, before, after, html) {
      if (watch.takeRecords().length) changedByPage = true;
      if (changedByPage) return "the page's scripts changed the page";
      var all = document.getElementsByTagName(tag);
      if (all.length !== before)
        return "the page holds " + all.length + " <" + tag + "> elements, the source " + before;
      own = true;
      try { all[index].outerHTML = html; } finally { watch.takeRecords(); own = false; }
      if (document.getElementsByTagName(tag).length !== after)
        return "the changed <" + tag + "> did not fit where it was";
      return "ok";
    },
    // Outlines the index-th element named tag and scrolls it into view. The outline is drawn
    // in a closed shadow tree: the page's scripts see one empty element, never what is in it.
    mark: function (tag, index, count) {
      var all = document.getElementsByTagName(tag);
      if (all.length !== count || !all[index]) return false;
      // Scrolled and measured before the outline moves, so that the page is laid out once.
      var element = all[index];
      element.scrollIntoView({block: "nearest"});
      var r = element.getBoundingClientRect();
      own = true;
      try {
        if (!frame || !frame.isConnected) {
          host = document.createElement("halvane-caret");
          frame = host.attachShadow({mode: "closed"}).appendChild(document.createElement("div"));
          frame.style.cssText = "position:absolute;pointer-events:none;z-index:2147483647;" +
                                "outline:2px solid rgba(0,120,215,0.9);outline-offset:1px";
          document.documentElement.appendChild(host);
        }
        frame.style.left = (r.left + window.scrollX) + "px";
        frame.style.top = (r.top + window.scrollY) + "px";
        frame.style.width = r.width + "px";
        frame.style.height = r.height + "px";
      } finally { watch.takeRecords(); own = false; }
      return true;
    }
  };
})();
// Ctrl+click: which element the user meant, as the host finds it in the source: the element
// clicked and those around it, each as its name, its index among the elements of that name
// and their number.
document.addEventListener("click", function (e) {
  if (!e.ctrlKey) return;
  e.preventDefault();
  e.stopImmediatePropagation();
  var path = [];
  for (var el = e.target; el && el.nodeType === 1; el = el.parentElement) {
    var tag = el.localName, all = document.getElementsByTagName(tag);
    path.push([tag, Array.prototype.indexOf.call(all, el), all.length]);
  }
  console.info("halvane-preview:pick " + JSON.stringify(path));
}, true);
