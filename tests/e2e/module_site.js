// The module service's two requests over a static tree, for the tests that run
// mireth-sync against nginx. Only the form is read here: the list (<kind>.json)
// and the files come from nginx's own static location /_tree/ through a GET
// subrequest (nginx refuses a POST to a static file), so statuses, error pages
// and filters stay nginx's. A subrequest's path is taken as it stands, not
// percent-decoded: names go in raw.
import qs from 'querystring';

function relay(r, uri) {
    r.subrequest(uri, { method: 'GET' }, function (reply) {
        if (reply.status !== 200) {
            r.return(reply.status); // nginx's own page for that status
            return;
        }
        r.headersOut['Content-Type'] = reply.headersOut['Content-Type'] || 'application/octet-stream';
        r.return(200, reply.responseBuffer || '');
    });
}

function list(r) {
    relay(r, '/_tree/' + r.variables.kind + '.json');
}

function download(r) {
    const form = qs.parse(r.requestText || '');
    const parts = (form.path ? form.path.split('/') : []).concat([form.file || '']);
    if (!/^[was]$/.test(form.type || '') || parts.some((p) => p === '' || p === '.' || p === '..')) {
        r.return(404);
        return;
    }
    relay(r, '/_tree/' + form.type + '/' + parts.join('/'));
}

export default { list, download };
