#!/usr/bin/env python3
"""Writes keyed archives of the earlier planner's documents with Python's plistlib, which
writes archive references as UID values (in the XML form, as the dictionaries {"CF$UID": n} that
stand for them there), for the import tests.

Usage: make_pendulo_archives.py FOLDER

FOLDER receives full-binary.pendulo and full-xml.pendulo (the same project in both formats),
damaged-*.pendulo (archives that must open nothing) and preferences/com.qelm.Pendulo4.plist
(the earlier application's working week).
"""
import datetime
import os
import plistlib
import struct
import sys
import zlib
from plistlib import UID

REFERENCE = datetime.datetime(2001, 1, 1, tzinfo=datetime.timezone.utc)


def seconds(year, month, day, hour=0, minute=0):
    moment = datetime.datetime(year, month, day, hour, minute, tzinfo=datetime.timezone.utc)
    return (moment - REFERENCE).total_seconds()


def png(width=2, height=2):
    rows = b''.join(b'\x00' + b'\xff\x00\x00' * width for _ in range(height))
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b''))


class Archive:
    """The object table of a keyed archive: objects refer to each other by UID."""

    def __init__(self):
        self.objects = ['$null']
        self.classes = {}

    def add(self, value):
        self.objects.append(value)
        return UID(len(self.objects) - 1)

    def reserve(self):
        return self.add(None)

    def put(self, uid, value):
        self.objects[uid.data] = value

    def cls(self, name, parents=('NSObject',)):
        if name not in self.classes:
            self.classes[name] = self.add({'$classname': name, '$classes': [name, *parents]})
        return self.classes[name]

    def instance(self, name, parents=('NSObject',), **values):
        return self.add({**values, '$class': self.cls(name, parents)})

    def array(self, items, name='NSMutableArray'):
        return self.instance(name, ('NSArray', 'NSObject'), **{'NS.objects': list(items)})

    def dictionary(self, entries):
        keys = [self.add(key) for key in entries]
        return self.instance('NSMutableDictionary', ('NSDictionary', 'NSObject'),
                             **{'NS.keys': keys, 'NS.objects': list(entries.values())})

    def date(self, value, zone='UTC'):
        if zone is None:
            return self.instance('NSDate', **{'NS.time': value})
        tz = self.instance('NSTimeZone', **{'NS.name': self.add(zone)})
        return self.instance('NSCalendarDate', ('NSDate', 'NSObject'), **{'NS.time': value, 'NS.timezone': tz})

    def color(self, r, g, b):
        return self.instance('NSColor', NSColorSpace=1, NSRGB=b'%g %g %g\x00' % (r, g, b))

    def responder(self, name, **values):
        return self.instance(name, ('NSResponder', 'NSObject'), **values)

    def plist(self, root):
        return {'$archiver': 'NSKeyedArchiver', '$version': 100000, '$top': {'root': root}, '$objects': self.objects}


def full_project():
    a = Archive()
    ada = a.dictionary({'Name': a.add('Ada'), 'Cost': a.add(120)})
    bob = a.dictionary({'Name': a.add('Bob'), 'Cost': a.add(240.0)})
    crew = a.dictionary({'Name': a.add('Crew'), 'Childs': a.array([ada, bob])})
    bitmap = a.instance('NSBitmapImageRep', ('NSImageRep', 'NSObject'), NSTIFFRepresentation=png())
    icon = a.instance('NSImage', NSReps=a.array([a.array([a.add(0), bitmap])]))
    crane = a.dictionary({'Name': a.add('Crane'), 'Cost': a.add(960), 'Icon': icon})
    root_node = a.dictionary({'Name': a.add('Resources'), 'Childs': a.array([crew, crane])})
    tree = a.responder('ZQRessourcesTree', **{'ressources tree struct': a.array([root_node])})

    def task(name, kind, begin=None, end=None, **more):
        values = {'task name': a.add(name), 'task type': kind, 'task completion': more.pop('completion', 0),
                  'task ressources': a.array(more.pop('resources', [])), 'task locked': False}
        if begin is not None:
            values['task begin date'] = a.date(begin)
        if end is not None:
            values['task end date'] = a.date(end)
        if 'notes' in more:
            values['task notes'] = a.add(more.pop('notes'))
        if 'color' in more:
            values['task color'] = a.color(*more.pop('color'))
        values.update(more)
        return a.responder('ZQTask', **values)

    survey = task('Survey', 0, seconds(2024, 3, 4), seconds(2024, 3, 6, 23, 59), completion=40,
                  resources=[ada, crane], notes='Check the piers', color=(0.25, 0.5, 0.75), cost=500.0,
                  usesCostPerTask=True)
    night = task('Night shift', 5, seconds(2024, 3, 5, 22), seconds(2024, 3, 6, 6), resources=[bob])
    phase = task('Phase', 1, seconds(2024, 3, 4), seconds(2024, 3, 8, 23, 59), cost=99.0)
    milestone = task('Milestone', 4, seconds(2024, 3, 8), seconds(2024, 3, 8), resources=[bob])
    unknown = task('Unknown', 7, seconds(2024, 3, 4), seconds(2024, 3, 5))
    backwards = task('Backwards', 0, seconds(2024, 3, 12), seconds(2024, 3, 10, 23, 59))
    same = task('Same', 5, seconds(2024, 3, 13, 9), seconds(2024, 3, 13, 9))
    undated = task('No dates', 0)

    def link(preceding, following):
        values = {'dep critical path': False, 'dep selected': False}
        if preceding is not None:
            values['dependency preceding task'] = preceding
        if following is not None:
            values['dependency following task'] = following
        return a.responder('ZQDependency', **values)

    links = [link(survey, night), link(night, milestone), link(survey, unknown), link(unknown, milestone),
             link(phase, None)]
    alert = a.responder('ZQAlert', **{'alert name': a.add('Review'), 'alert comment': a.add(''),
                                      'alert start hour': a.date(seconds(2024, 3, 7, 10)),
                                      'alert end hour': a.date(seconds(2024, 3, 20, 11, 30))})
    project = a.responder('ZQProject', **{
        'project name': a.add('Bridge ✓ renovation'),
        'project begin date': a.date(seconds(2024, 3, 4)),
        'project end date': a.date(seconds(2024, 4, 30, 12), zone=None),
        'project ressources tree': tree,
        # The survey is listed twice: a repeat imports nothing more.
        'project tasks': a.array([survey, night, phase, milestone, unknown, backwards, same, undated, survey]),
        'project dependencies': a.array(links),
        'project alerts': a.array([alert]),
        'projectCost': 15000.5,
        'project shared': False,
    })
    return a.plist(project)


def damaged():
    """name -> archive that must open nothing."""
    archives = {}

    a = Archive()
    tasks = a.reserve()
    a.put(tasks, {'NS.objects': [tasks], '$class': a.cls('NSMutableArray', ('NSArray', 'NSObject'))})
    archives['cycle'] = a.plist(a.responder('ZQProject', **{'project tasks': tasks}))

    a = Archive()
    archives['bad-reference'] = a.plist(a.responder('ZQProject', **{'project name': UID(9999)}))

    a = Archive()
    archives['wrong-type'] = a.plist(a.responder('ZQProject', **{'project tasks': a.add('not a list')}))

    a = Archive()
    archives['root-not-a-project'] = a.plist(a.array([a.add('x')]))

    a = Archive()
    mystery = a.instance('ZQMystery')
    archives['unknown-class'] = a.plist(a.responder('ZQProject', **{'project tasks': a.array([mystery])}))

    a = Archive()
    nested = a.array([])
    for _ in range(300):
        nested = a.array([nested])
    archives['too-deep'] = a.plist(a.responder('ZQProject', **{'project alerts': nested}))

    archives['not-an-archive'] = {'hello': 'world'}
    return archives


def xml_form(value):
    """The XML property list form of references: plistlib writes UID values in binary only."""
    if isinstance(value, UID):
        return {'CF$UID': value.data}
    if isinstance(value, dict):
        return {key: xml_form(item) for key, item in value.items()}
    if isinstance(value, list):
        return [xml_form(item) for item in value]
    return value


def main(folder):
    os.makedirs(os.path.join(folder, 'preferences'), exist_ok=True)
    project = full_project()
    with open(os.path.join(folder, 'full-binary.pendulo'), 'wb') as out:
        plistlib.dump(project, out, fmt=plistlib.FMT_BINARY, sort_keys=False)
    with open(os.path.join(folder, 'full-xml.pendulo'), 'wb') as out:
        plistlib.dump(xml_form(project), out, fmt=plistlib.FMT_XML, sort_keys=False)
    for name, archive in damaged().items():
        with open(os.path.join(folder, 'damaged-%s.pendulo' % name), 'wb') as out:
            plistlib.dump(archive, out, fmt=plistlib.FMT_BINARY)
    binary = plistlib.dumps(project, fmt=plistlib.FMT_BINARY)
    with open(os.path.join(folder, 'damaged-truncated-binary.pendulo'), 'wb') as out:
        out.write(binary[:len(binary) // 2])
    text = plistlib.dumps(xml_form(project), fmt=plistlib.FMT_XML)
    with open(os.path.join(folder, 'damaged-truncated-xml.pendulo'), 'wb') as out:
        out.write(text[:len(text) // 2])
    # The first name the importer tries holds no dictionary; the second one is read.
    with open(os.path.join(folder, 'preferences', 'com.qelm.PenduloProject.plist'), 'wb') as out:
        out.write(b'not a property list')
    with open(os.path.join(folder, 'preferences', 'com.qelm.Pendulo4.plist'), 'wb') as out:
        plistlib.dump({'active days': [False, True, True, True, True, True, False]}, out)


if __name__ == '__main__':
    main(sys.argv[1])
